// Command strings: "verb device arguments...", words split at blanks, a quoted
// word may hold blanks. Each verb's arguments become the flags and values of
// a request, so strings and command records run the same code.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "mci_private.h"

namespace plat::mci {

namespace {

struct Named {
    const char* name;
    DWORD value;
};

const Named kTimeFormats[] = {
    {"milliseconds", MCI_FORMAT_MILLISECONDS},
    {"ms", MCI_FORMAT_MILLISECONDS},
    {"msf", MCI_FORMAT_MSF},
    {"tmsf", MCI_FORMAT_TMSF},
    {"bytes", MCI_FORMAT_BYTES},
    {"samples", MCI_FORMAT_SAMPLES},
};

const Named kVerbs[] = {
    {"open", MCI_OPEN},     {"close", MCI_CLOSE}, {"play", MCI_PLAY},     {"record", MCI_RECORD},
    {"stop", MCI_STOP},     {"pause", MCI_PAUSE}, {"resume", MCI_RESUME}, {"seek", MCI_SEEK},
    {"status", MCI_STATUS}, {"set", MCI_SET},     {"save", MCI_SAVE},
};

// Status items, longest first so that "position track" wins over "position".
struct Item {
    const char* words;
    DWORD item;
    DWORD extra;  // MCI_TRACK: a track number follows; MCI_STATUS_START
};
const Item kItems[] = {
    {"number of tracks", MCI_STATUS_NUMBER_OF_TRACKS, 0},
    {"start position", MCI_STATUS_POSITION, MCI_STATUS_START},
    {"position track", MCI_STATUS_POSITION, MCI_TRACK},
    {"length track", MCI_STATUS_LENGTH, MCI_TRACK},
    {"media present", MCI_STATUS_MEDIA_PRESENT, 0},
    {"current track", MCI_STATUS_CURRENT_TRACK, 0},
    {"time format", MCI_STATUS_TIME_FORMAT, 0},
    {"format tag", MCI_WAVE_STATUS_FORMATTAG, 0},
    {"position", MCI_STATUS_POSITION, 0},
    {"length", MCI_STATUS_LENGTH, 0},
    {"mode", MCI_STATUS_MODE, 0},
    {"ready", MCI_STATUS_READY, 0},
    {"channels", MCI_WAVE_STATUS_CHANNELS, 0},
    {"samplespersec", MCI_WAVE_STATUS_SAMPLESPERSEC, 0},
    {"bytespersec", MCI_WAVE_STATUS_AVGBYTESPERSEC, 0},
    {"alignment", MCI_WAVE_STATUS_BLOCKALIGN, 0},
    {"bitspersample", MCI_WAVE_STATUS_BITSPERSAMPLE, 0},
};

// Wave format fields of "set": keyword, flag.
const Named kWaveFields[] = {
    {"channels", MCI_WAVE_SET_CHANNELS},           {"samplespersec", MCI_WAVE_SET_SAMPLESPERSEC},
    {"bytespersec", MCI_WAVE_SET_AVGBYTESPERSEC},  {"alignment", MCI_WAVE_SET_BLOCKALIGN},
    {"bitspersample", MCI_WAVE_SET_BITSPERSAMPLE},
};

const char* const kModes[] = {"not ready", "stopped", "playing", "recording",
                              "seeking",   "paused",  "open"};

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

MCIERROR split(const char* text, std::vector<std::string>* words) {
    const char* p = text;
    for (;;) {
        while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
        if (!*p) return 0;
        std::string w;
        if (*p == '"') {
            const char* end = std::strchr(p + 1, '"');
            if (!end) return MCIERR_NO_CLOSING_QUOTE;
            w.assign(p + 1, end);
            p = end + 1;
        } else {
            while (*p && !std::isspace(static_cast<unsigned char>(*p))) w += *p++;
        }
        words->push_back(w);
    }
}

// A decimal number that fits a DWORD.
bool number(const std::string& s, DWORD* out) {
    if (s.empty() || s.size() > 10) return false;
    uint64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + uint64_t(c - '0');
    }
    if (v > 0xFFFFFFFFu) return false;
    *out = DWORD(v);
    return true;
}

// A position: one number, or for msf and tmsf up to three or four fields
// split by colons, packed as the command records pack them.
MCIERROR position(const std::string& s, DWORD format, DWORD* out) {
    size_t fields = format == MCI_FORMAT_TMSF ? 4 : format == MCI_FORMAT_MSF ? 3 : 1;
    DWORD v[4] = {0, 0, 0, 0};
    size_t n = 0, start = 0;
    for (;;) {
        size_t colon = s.find(':', start);
        std::string part = s.substr(start, colon == std::string::npos ? colon : colon - start);
        if (n == fields || !number(part, &v[n])) return MCIERR_BAD_INTEGER;
        if (fields > 1 && v[n] > 255) return MCIERR_OUTOFRANGE;
        ++n;
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    if (format == MCI_FORMAT_TMSF)
        *out = MCI_MAKE_TMSF(v[0], v[1], v[2], v[3]);
    else if (format == MCI_FORMAT_MSF)
        *out = MCI_MAKE_MSF(v[0], v[1], v[2]);
    else
        *out = v[0];
    return 0;
}

// Reads the words of a request, one keyword (and its value) at a time.
class Reader {
public:
    Reader(const std::vector<std::string>& w, size_t at, DWORD format, Request* r)
        : words_(w), at_(at), format_(format), r_(r) {}

    bool done() const { return at_ >= words_.size(); }
    // True (and moves on) when the next words are those of phrase.
    bool take(const char* phrase) {
        size_t i = at_;
        const char* p = phrase;
        while (*p) {
            const char* space = std::strchr(p, ' ');
            std::string word = space ? std::string(p, space) : std::string(p);
            if (i >= words_.size() || lower(words_[i]) != word) return false;
            ++i;
            p = space ? space + 1 : p + std::strlen(p);
        }
        at_ = i;
        return true;
    }
    // Sets flag once; MCIERR_DUPLICATE_FLAGS the second time.
    MCIERROR flag(DWORD f) {
        if (r_->flags & f) return MCIERR_DUPLICATE_FLAGS;
        r_->flags |= f;
        return 0;
    }
    MCIERROR word(std::string* out) {
        if (done()) return MCIERR_MISSING_PARAMETER;
        *out = words_[at_++];
        return 0;
    }
    MCIERROR integer(DWORD* out) {
        std::string w;
        if (MCIERROR err = word(&w)) return err;
        return number(w, out) ? 0 : MCIERR_BAD_INTEGER;
    }
    MCIERROR at(DWORD f, DWORD* out) {
        if (MCIERROR err = flag(f)) return err;
        std::string w;
        if (MCIERROR err = word(&w)) return err;
        return position(w, format_, out);
    }
    // notify or wait, else MCIERR_UNRECOGNIZED_KEYWORD.
    MCIERROR common() {
        if (take("notify")) return flag(MCI_NOTIFY);
        if (take("wait")) return flag(MCI_WAIT);
        return MCIERR_UNRECOGNIZED_KEYWORD;
    }

private:
    const std::vector<std::string>& words_;
    size_t at_;
    DWORD format_;
    Request* r_;
};

MCIERROR parse_open(Reader& in, Request* r) {
    if (in.take("type")) {
        if (MCIERROR err = in.flag(MCI_OPEN_TYPE)) return err;
        return in.word(&r->type);
    }
    if (in.take("alias")) {
        if (MCIERROR err = in.flag(MCI_OPEN_ALIAS)) return err;
        return in.word(&r->alias);
    }
    if (in.take("shareable")) return in.flag(MCI_OPEN_SHAREABLE);
    return in.common();
}

MCIERROR parse_status(Reader& in, Request* r) {
    for (const Item& item : kItems) {
        if (!in.take(item.words)) continue;
        if (in.flag(MCI_STATUS_ITEM)) return MCIERR_FLAGS_NOT_COMPATIBLE;
        r->item = item.item;
        r->flags |= item.extra & MCI_STATUS_START;
        if (item.extra & MCI_TRACK) {
            r->flags |= MCI_TRACK;
            return in.integer(&r->track);
        }
        return 0;
    }
    return in.common();
}

MCIERROR parse_set(Reader& in, Request* r) {
    if (in.take("time format")) {
        if (MCIERROR err = in.flag(MCI_SET_TIME_FORMAT)) return err;
        std::string name;
        if (MCIERROR err = in.word(&name)) return err;
        return time_format_from_name(name, &r->time_format) ? 0 : MCIERR_BAD_TIME_FORMAT;
    }
    if (in.take("format tag")) {
        if (MCIERROR err = in.flag(MCI_WAVE_SET_FORMATTAG)) return err;
        std::string tag;
        if (MCIERROR err = in.word(&tag)) return err;
        DWORD v = 0;
        if (lower(tag) == "pcm")
            v = WAVE_FORMAT_PCM;
        else if (!number(tag, &v) || v > 0xFFFF)
            return MCIERR_BAD_CONSTANT;
        r->format.wFormatTag = WORD(v);
        return 0;
    }
    for (const Named& field : kWaveFields) {
        if (!in.take(field.name)) continue;
        if (MCIERROR err = in.flag(field.value)) return err;
        DWORD v = 0;
        if (MCIERROR err = in.integer(&v)) return err;
        if (field.value == MCI_WAVE_SET_CHANNELS) r->format.nChannels = WORD(v);
        if (field.value == MCI_WAVE_SET_SAMPLESPERSEC) r->format.nSamplesPerSec = v;
        if (field.value == MCI_WAVE_SET_AVGBYTESPERSEC) r->format.nAvgBytesPerSec = v;
        if (field.value == MCI_WAVE_SET_BLOCKALIGN) r->format.nBlockAlign = WORD(v);
        if (field.value == MCI_WAVE_SET_BITSPERSAMPLE) r->format.wBitsPerSample = WORD(v);
        bool word_sized =
            field.value != MCI_WAVE_SET_SAMPLESPERSEC && field.value != MCI_WAVE_SET_AVGBYTESPERSEC;
        return word_sized && v > 0xFFFF ? MCIERR_OUTOFRANGE : 0;
    }
    return in.common();
}

MCIERROR parse_one(UINT verb, Reader& in, Request* r) {
    switch (verb) {
        case MCI_OPEN:
            return parse_open(in, r);
        case MCI_PLAY:
        case MCI_RECORD:
            if (in.take("from")) return in.at(MCI_FROM, &r->from);
            if (in.take("to")) return in.at(MCI_TO, &r->to);
            if (verb == MCI_RECORD && in.take("insert")) return in.flag(MCI_RECORD_INSERT);
            if (verb == MCI_RECORD && in.take("overwrite")) return in.flag(MCI_RECORD_OVERWRITE);
            return in.common();
        case MCI_SEEK:
            if (in.take("to start")) return in.flag(MCI_SEEK_TO_START);
            if (in.take("to end")) return in.flag(MCI_SEEK_TO_END);
            if (in.take("to")) return in.at(MCI_TO, &r->to);
            return in.common();
        case MCI_STATUS:
            return parse_status(in, r);
        case MCI_SET:
            return parse_set(in, r);
        case MCI_SAVE:
            if (MCIERROR err = in.common(); err != MCIERR_UNRECOGNIZED_KEYWORD) return err;
            if (in.flag(MCI_SAVE_FILE)) return MCIERR_UNRECOGNIZED_KEYWORD;
            return in.word(&r->file);
        default:
            return in.common();
    }
}

MCIERROR give(const std::string& text, LPSTR ret, UINT size) {
    if (!ret || size == 0) return 0;
    if (text.size() >= size) {
        ret[0] = '\0';
        return MCIERR_PARAM_OVERFLOW;
    }
    std::memcpy(ret, text.c_str(), text.size() + 1);
    return 0;
}

MCIERROR send(LPCSTR command, std::string* answer, HWND callback) {
    if (!command) return MCIERR_MISSING_COMMAND_STRING;
    std::vector<std::string> words;
    if (MCIERROR err = split(command, &words)) return err;
    if (words.empty()) return MCIERR_MISSING_COMMAND_STRING;
    UINT verb = 0;
    for (const Named& v : kVerbs)
        if (lower(words[0]) == v.name) verb = UINT(v.value);
    if (!verb) return MCIERR_UNRECOGNIZED_COMMAND;
    if (words.size() < 2) return MCIERR_MISSING_DEVICE_NAME;
    Request r;
    r.verb = verb;
    r.callback = callback;
    Reply reply;
    const std::string& name = words[1];
    if (verb == MCI_OPEN) {
        if (MCIERROR err = parse_arguments(verb, words, 2, 0, &r)) return err;
        bool named_type = find_type(name) != nullptr;
        if (!(r.flags & MCI_OPEN_TYPE) && named_type) {
            r.flags |= MCI_OPEN_TYPE;
            r.type = name;
        } else if (!(r.flags & MCI_OPEN_TYPE)) {
            // A wave file names its own type.
            std::string n = lower(name);
            if (n.size() < 4 || n.compare(n.size() - 4, 4, ".wav") != 0)
                return MCIERR_INVALID_DEVICE_NAME;
            r.flags |= MCI_OPEN_TYPE | MCI_OPEN_ELEMENT;
            r.type = "waveaudio";
            r.element = name;
        } else {
            // Only the word "new" names a new sound; an empty name is no file.
            if (name.empty()) return MCIERR_FILE_NOT_FOUND;
            r.flags |= MCI_OPEN_ELEMENT;
            r.element = lower(name) == "new" ? "" : name;
            if (r.element.empty() && !(r.flags & MCI_OPEN_ALIAS)) return MCIERR_NEW_REQUIRES_ALIAS;
        }
        if (MCIERROR err = open_device(r, &reply)) return err;
        *answer = reply_text(reply);
        return 0;
    }
    if (lower(name) == "all") {
        if (verb != MCI_CLOSE && verb != MCI_STOP) return MCIERR_UNSUPPORTED_FUNCTION;
        if (MCIERROR err = parse_arguments(verb, words, 2, 0, &r)) return err;
        for (auto& d : all_devices()) run(*d, r, &reply);
        return 0;
    }
    std::shared_ptr<Device> d = find_device(name);
    if (!d) return MCIERR_INVALID_DEVICE_NAME;
    auto complete = [&](DWORD format, Request* req) {
        return parse_arguments(verb, words, 2, format, req);
    };
    if (MCIERROR err = run(*d, r, &reply, complete)) return err;
    *answer = reply_text(reply);
    return 0;
}

}  // namespace

const char* time_format_name(DWORD format) {
    for (const Named& f : kTimeFormats)
        if (f.value == format) return f.name;
    return "";
}

bool time_format_from_name(const std::string& name, DWORD* format) {
    std::string n = lower(name);
    for (const Named& f : kTimeFormats)
        if (n == f.name) {
            *format = f.value;
            return true;
        }
    return false;
}

MCIERROR parse_arguments(UINT verb, const std::vector<std::string>& words, size_t at,
                         DWORD time_format, Request* r) {
    Reader in(words, at, time_format, r);
    while (!in.done())
        if (MCIERROR err = parse_one(verb, in, r)) return err;
    if (verb == MCI_STATUS && !(r->flags & MCI_STATUS_ITEM)) return MCIERR_MISSING_PARAMETER;
    if (verb == MCI_SEEK && !(r->flags & (MCI_SEEK_TO_START | MCI_SEEK_TO_END | MCI_TO)))
        return MCIERR_MISSING_PARAMETER;
    if (verb == MCI_SEEK &&
        __builtin_popcount(r->flags & (MCI_SEEK_TO_START | MCI_SEEK_TO_END | MCI_TO)) > 1)
        return MCIERR_FLAGS_NOT_COMPATIBLE;
    // Flag values are the verb's own: these two share bits with the status flags.
    if (verb == MCI_RECORD && (r->flags & MCI_RECORD_INSERT) && (r->flags & MCI_RECORD_OVERWRITE))
        return MCIERR_FLAGS_NOT_COMPATIBLE;
    return 0;
}

std::string reply_text(const Reply& reply) {
    char buf[32];
    DWORD v = reply.value;
    switch (reply.kind) {
        case Reply::kNone:
            return "";
        case Reply::kInteger:
        case Reply::kDeviceId:
            return std::to_string(v);
        case Reply::kBool:
            return v ? "true" : "false";
        case Reply::kMode:
            return v >= MCI_MODE_NOT_READY && v <= MCI_MODE_OPEN ? kModes[v - MCI_MODE_NOT_READY]
                                                                 : "";
        case Reply::kTimeFormat:
            return time_format_name(v);
        case Reply::kFormatTag:
            return v == WAVE_FORMAT_PCM ? "pcm" : std::to_string(v);
        case Reply::kPosition:
            if (reply.format == MCI_FORMAT_TMSF) {
                std::snprintf(buf, sizeof(buf), "%02u:%02u:%02u:%02u", MCI_TMSF_TRACK(v),
                              MCI_TMSF_MINUTE(v), MCI_TMSF_SECOND(v), MCI_TMSF_FRAME(v));
                return buf;
            }
            if (reply.format == MCI_FORMAT_MSF) {
                std::snprintf(buf, sizeof(buf), "%02u:%02u:%02u", MCI_MSF_MINUTE(v),
                              MCI_MSF_SECOND(v), MCI_MSF_FRAME(v));
                return buf;
            }
            return std::to_string(v);
    }
    return "";
}

}  // namespace plat::mci

extern "C" PLATFORM_API MCIERROR mciSendString(LPCSTR command, LPSTR ret, UINT size,
                                               HWND callback) {
    if (ret && size) ret[0] = '\0';
    std::string answer;
    MCIERROR err = 0;
    try {
        err = plat::mci::send(command, &answer, callback);
    }
    PLATFORM_RETHROW_THREAD_EXIT
    catch (...) {
        // Nothing leaves the layer as an exception; memory is what runs out here.
        err = MCIERR_OUT_OF_MEMORY;
    }
    if (err) return err;
    return plat::mci::give(answer, ret, size);
}
