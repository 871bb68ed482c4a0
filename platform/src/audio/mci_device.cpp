// The open MCI devices: the table of types, the table of devices by id and
// name, the rules every command follows (notices, waits, close) and the
// worker threads that step a play or a recording.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <map>
#include <system_error>

#include "mci_private.h"

namespace plat::mci {

namespace {

const DeviceType* const kTypes[] = {&kWaveAudio, &kCdAudio};

std::mutex g_table_lock;
// Never destroyed: a device left open at exit may still have a worker running.
auto& g_devices = *new std::map<MCIDEVICEID, std::shared_ptr<Device>>;
MCIDEVICEID g_next_id = 1;

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void worker_main(Device* d) {
    for (;;) {
        {
            std::unique_lock lock(d->wake_m);
            d->wake.wait_for(lock, std::chrono::milliseconds(4), [d] { return d->quit.load(); });
        }
        if (d->quit) return;
        // A command that holds the lock may be joining this thread: never block on it.
        std::unique_lock cmd(d->cmd, std::try_to_lock);
        if (!cmd.owns_lock()) continue;
        if (d->closed || !d->type->step(*d)) {
            d->active = false;
            return;
        }
    }
}

// Pumps what a wait on the user-interface thread must serve until d is idle.
void wait_idle(Device& d) {
    while (d.active) {
        if (PlatformIsUiThread()) PlatformServeSentMessages();
        Sleep(5);
    }
}

}  // namespace

const DeviceType* find_type(const std::string& name) {
    std::string n = lower(name);
    for (const DeviceType* t : kTypes)
        if (n == t->name) return t;
    return nullptr;
}

const DeviceType* find_type(UINT number) {
    for (const DeviceType* t : kTypes)
        if (number == t->number) return t;
    return nullptr;
}

std::shared_ptr<Device> find_device(const std::string& name) {
    std::string n = lower(name);
    std::lock_guard lock(g_table_lock);
    for (auto& [id, d] : g_devices)
        if (d->name == n) return d;
    return nullptr;
}

std::shared_ptr<Device> find_device(MCIDEVICEID id) {
    std::lock_guard lock(g_table_lock);
    auto it = g_devices.find(id);
    return it == g_devices.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<Device>> all_devices() {
    std::lock_guard lock(g_table_lock);
    std::vector<std::shared_ptr<Device>> out;
    for (auto& [id, d] : g_devices) out.push_back(d);
    return out;
}

MCIERROR open_device(const Request& r, Reply* reply) {
    const DeviceType* type = nullptr;
    if (r.flags & MCI_OPEN_TYPE) type = find_type(r.type);
    if (!type) return MCIERR_CANNOT_LOAD_DRIVER;
    auto d = std::make_shared<Device>();
    d->type = type;
    d->time_format = type->time_format;
    std::string name = (r.flags & MCI_OPEN_ALIAS)     ? r.alias
                       : (r.flags & MCI_OPEN_ELEMENT) ? r.element
                                                      : std::string(type->name);
    d->name = lower(name);
    {
        std::lock_guard lock(g_table_lock);
        d->id = g_next_id++;
        // A new sound opened by record without an alias is reached by its id only.
        if (d->name.empty()) d->name = "#" + std::to_string(d->id);
        for (auto& [id, other] : g_devices)
            if (other->name == d->name) return MCIERR_DUPLICATE_ALIAS;
    }
    std::lock_guard cmd(d->cmd);
    if (MCIERROR err = type->open(*d, r)) return err;
    {
        std::lock_guard lock(g_table_lock);
        for (auto& [id, other] : g_devices)
            if (other->name == d->name) {
                type->close(*d);
                return MCIERR_DUPLICATE_ALIAS;
            }
        g_devices.emplace(d->id, d);
    }
    reply->kind = Reply::kDeviceId;
    reply->value = d->id;
    if ((r.flags & MCI_NOTIFY) && r.callback)
        PostMessage(r.callback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, LPARAM(d->id));
    return 0;
}

void settle_notice(Device& d, DWORD result) {
    HWND w = d.notice;
    d.notice = nullptr;
    if (w && result) PostMessage(w, MM_MCINOTIFY, result, LPARAM(d.id));
}

bool start_worker(Device& d) {
    if (d.worker.joinable()) d.worker.join();
    d.quit = false;
    d.active = true;
    try {
        d.worker = std::thread(worker_main, &d);
    } catch (const std::system_error&) {
        d.active = false;
        return false;
    }
    return true;
}

void stop_worker(Device& d, DWORD result) {
    if (d.worker.joinable()) {
        {
            std::lock_guard lock(d.wake_m);
            d.quit = true;
        }
        d.wake.notify_all();
        d.worker.join();
    }
    d.active = false;
    settle_notice(d, result);
}

MCIERROR run(Device& d, Request r, Reply* reply, const Completion& complete) {
    bool wait = false;
    {
        std::lock_guard cmd(d.cmd);
        if (d.closed) return MCIERR_INVALID_DEVICE_NAME;
        if (complete) {
            if (MCIERROR err = complete(d.time_format, &r)) return err;
        }
        if (r.verb == MCI_CLOSE) {
            d.type->close(d);
            d.closed = true;
            {
                std::lock_guard lock(g_table_lock);
                g_devices.erase(d.id);
            }
            if ((r.flags & MCI_NOTIFY) && r.callback)
                PostMessage(r.callback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, LPARAM(d.id));
            return 0;
        }
        bool was_active = d.active;
        if (MCIERROR err = d.type->command(d, r, reply)) return err;
        bool started = d.active && (!was_active || r.verb == MCI_PLAY || r.verb == MCI_RECORD);
        if (r.flags & MCI_NOTIFY) {
            // A notice still owed is superseded by this one.
            if (d.notice) settle_notice(d, MCI_NOTIFY_SUPERSEDED);
            if (started && r.callback)
                d.notice = r.callback;
            else if (r.callback)
                PostMessage(r.callback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, LPARAM(d.id));
        }
        wait = started && (r.flags & MCI_WAIT);
    }
    if (wait) wait_idle(d);
    return 0;
}

}  // namespace plat::mci
