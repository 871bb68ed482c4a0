// Command records: mciSendCommand turns its record into a request and gives
// the answer of a status back in the record.
#include "mci_private.h"

namespace plat::mci {

namespace {

template <class T>
const T* record(DWORD_PTR params) {
    return reinterpret_cast<const T*>(params);
}

MCIERROR open_from(DWORD flags, MCI_OPEN_PARMS* p) {
    Request r;
    r.verb = MCI_OPEN;
    r.flags = flags;
    r.callback = reinterpret_cast<HWND>(p->dwCallback);
    if (flags & MCI_OPEN_TYPE_ID) {
        const DeviceType* t = find_type(UINT(reinterpret_cast<uintptr_t>(p->lpstrDeviceType)));
        if (!t) return MCIERR_CANNOT_LOAD_DRIVER;
        r.flags = (r.flags & ~DWORD(MCI_OPEN_TYPE_ID)) | MCI_OPEN_TYPE;
        r.type = t->name;
    } else if (flags & MCI_OPEN_TYPE) {
        if (!p->lpstrDeviceType) return MCIERR_MISSING_STRING_ARGUMENT;
        r.type = p->lpstrDeviceType;
    } else {
        return MCIERR_DEVICE_TYPE_REQUIRED;
    }
    if (flags & MCI_OPEN_ELEMENT) r.element = p->lpstrElementName ? p->lpstrElementName : "";
    if (flags & MCI_OPEN_ALIAS) {
        if (!p->lpstrAlias) return MCIERR_MISSING_STRING_ARGUMENT;
        r.alias = p->lpstrAlias;
    }
    Reply reply;
    if (MCIERROR err = open_device(r, &reply)) return err;
    p->wDeviceID = reply.value;
    return 0;
}

// Fills the values of r that the record of msg carries.
MCIERROR read_record(UINT msg, DWORD_PTR params, Request* r) {
    switch (msg) {
        case MCI_PLAY:
        case MCI_RECORD:
            r->from = record<MCI_PLAY_PARMS>(params)->dwFrom;
            r->to = record<MCI_PLAY_PARMS>(params)->dwTo;
            return 0;
        case MCI_SEEK:
            r->to = record<MCI_SEEK_PARMS>(params)->dwTo;
            return 0;
        case MCI_STATUS:
            r->item = record<MCI_STATUS_PARMS>(params)->dwItem;
            r->track = record<MCI_STATUS_PARMS>(params)->dwTrack;
            return (r->flags & MCI_STATUS_ITEM) ? 0 : MCIERR_MISSING_PARAMETER;
        case MCI_SET:
            r->time_format = record<MCI_SET_PARMS>(params)->dwTimeFormat;
            if (r->flags & 0x003F0000) {
                const auto* w = record<MCI_WAVE_SET_PARMS>(params);
                r->format.wFormatTag = w->wFormatTag;
                r->format.nChannels = w->nChannels;
                r->format.nSamplesPerSec = w->nSamplesPerSec;
                r->format.nAvgBytesPerSec = w->nAvgBytesPerSec;
                r->format.nBlockAlign = w->nBlockAlign;
                r->format.wBitsPerSample = w->wBitsPerSample;
            }
            return 0;
        case MCI_SAVE:
            if (!(r->flags & MCI_SAVE_FILE)) return 0;
            if (!record<MCI_SAVE_PARMS>(params)->lpfilename) return MCIERR_FILENAME_REQUIRED;
            r->file = record<MCI_SAVE_PARMS>(params)->lpfilename;
            return 0;
        default:
            return 0;
    }
}

MCIERROR send(MCIDEVICEID id, UINT msg, DWORD flags, DWORD_PTR params) {
    if (msg == MCI_OPEN) {
        if (!params) return MCIERR_NULL_PARAMETER_BLOCK;
        return open_from(flags, reinterpret_cast<MCI_OPEN_PARMS*>(params));
    }
    switch (msg) {
        case MCI_CLOSE:
        case MCI_PLAY:
        case MCI_RECORD:
        case MCI_STOP:
        case MCI_PAUSE:
        case MCI_RESUME:
        case MCI_SEEK:
        case MCI_STATUS:
        case MCI_SET:
        case MCI_SAVE:
            break;
        default:
            return MCIERR_UNRECOGNIZED_COMMAND;
    }
    std::shared_ptr<Device> d = find_device(id);
    if (!d) return MCIERR_INVALID_DEVICE_ID;
    // Commands that carry nothing but the callback may come without a record.
    bool needs_record = (flags & MCI_NOTIFY) || msg == MCI_STATUS || msg == MCI_SET ||
                        (flags & (MCI_FROM | MCI_TO | MCI_SAVE_FILE));
    if (needs_record && !params) return MCIERR_NULL_PARAMETER_BLOCK;
    Request r;
    r.verb = msg;
    r.flags = flags;
    if (params) r.callback = reinterpret_cast<HWND>(record<MCI_GENERIC_PARMS>(params)->dwCallback);
    if (MCIERROR err = read_record(msg, params, &r)) return err;
    Reply reply;
    if (MCIERROR err = run(*d, r, &reply)) return err;
    if (msg == MCI_STATUS) reinterpret_cast<MCI_STATUS_PARMS*>(params)->dwReturn = reply.value;
    return 0;
}

}  // namespace

}  // namespace plat::mci

extern "C" PLATFORM_API MCIERROR mciSendCommand(MCIDEVICEID id, UINT msg, DWORD_PTR flags,
                                                DWORD_PTR params) {
    try {
        return plat::mci::send(id, msg, DWORD(flags), params);
    }
    PLATFORM_RETHROW_THREAD_EXIT
    catch (...) {
        // Nothing leaves the layer as an exception; memory is what runs out here.
        return MCIERR_OUT_OF_MEMORY;
    }
}
