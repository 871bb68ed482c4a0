// The texts of the MCI error codes.
#include <algorithm>
#include <cstring>

#include "mci_private.h"

namespace {

struct ErrorText {
    MCIERROR code;
    const char* text;
};

const ErrorText kTexts[] = {
    {0, "The specified command was carried out."},
    {MCIERR_INVALID_DEVICE_ID,
     "Invalid MCI device ID. Use the ID returned when opening the device."},
    {MCIERR_UNRECOGNIZED_KEYWORD, "The command contains a word this device does not know."},
    {MCIERR_UNRECOGNIZED_COMMAND, "The command is not one the MCI devices know."},
    {MCIERR_HARDWARE, "The device failed while carrying out the command."},
    {MCIERR_INVALID_DEVICE_NAME, "The specified device is not open or is not known."},
    {MCIERR_OUT_OF_MEMORY, "There is not enough memory for the command."},
    {MCIERR_CANNOT_LOAD_DRIVER, "The device type is unknown: use waveaudio or cdaudio."},
    {MCIERR_MISSING_COMMAND_STRING, "The command string is empty."},
    {MCIERR_PARAM_OVERFLOW, "The answer does not fit in the buffer given for it."},
    {MCIERR_MISSING_STRING_ARGUMENT, "The command needs a text value that is missing."},
    {MCIERR_BAD_INTEGER, "A value in the command is not a valid number or position."},
    {MCIERR_MISSING_PARAMETER, "The command needs a value or item that is missing."},
    {MCIERR_UNSUPPORTED_FUNCTION, "This device cannot carry out that command."},
    {MCIERR_FILE_NOT_FOUND, "The wave file cannot be found or opened."},
    {MCIERR_DEVICE_NOT_READY,
     "The device is not ready: there is no disc, or the disc image cannot be read."},
    {MCIERR_OUTOFRANGE, "A position or value in the command is out of range."},
    {MCIERR_FLAGS_NOT_COMPATIBLE, "The command contains words that cannot be used together."},
    {MCIERR_FILE_NOT_SAVED, "The wave file could not be written."},
    {MCIERR_DEVICE_TYPE_REQUIRED, "The device type must be given to open this device."},
    {MCIERR_DUPLICATE_ALIAS, "The alias or name is already used by an open device."},
    {MCIERR_BAD_CONSTANT, "A value in the command is not one of the allowed words."},
    {MCIERR_MISSING_DEVICE_NAME, "The command names no device."},
    {MCIERR_BAD_TIME_FORMAT, "This device does not know that time format."},
    {MCIERR_NO_CLOSING_QUOTE, "A quoted name in the command has no closing quote."},
    {MCIERR_DUPLICATE_FLAGS, "A word is given twice in the command."},
    {MCIERR_INVALID_FILE, "The file is not a PCM wave file of 8 or 16 bits, mono or stereo."},
    {MCIERR_NULL_PARAMETER_BLOCK, "The command needs a parameter record."},
    {MCIERR_NEW_REQUIRES_ALIAS, "A new sound must be opened with an alias."},
    {MCIERR_NONAPPLICABLE_FUNCTION,
     "The command cannot be carried out in the device's present state."},
    {MCIERR_FILENAME_REQUIRED, "A file name is needed: the sound has none yet."},
    {MCIERR_DEVICE_NOT_INSTALLED,
     "No CD drive was found and no disc image is set as the CD device."},
    {MCIERR_WAVE_OUTPUTSUNSUITABLE, "No wave output device can play the sound's format."},
    {MCIERR_WAVE_INPUTSUNSUITABLE,
     "No wave input device can record in the sound's format, or none is installed."},
};

}  // namespace

extern "C" PLATFORM_API BOOL mciGetErrorString(MCIERROR err, LPSTR text, UINT size) {
    if (!text || size == 0) return FALSE;
    text[0] = '\0';
    for (const ErrorText& e : kTexts) {
        if (e.code != err) continue;
        size_t n = std::min<size_t>(std::strlen(e.text), size - 1);
        std::memcpy(text, e.text, n);
        text[n] = '\0';
        return TRUE;
    }
    return FALSE;
}
