// Single running copy per user. The running copy listens on the local socket
// "<runtime>/<name>.sock" (QLocalServer on the user-interface thread); a
// later copy connects, sends its command line as a 4-byte little-endian
// length and the bytes, and waits for a one-byte acknowledgement. The
// connect-or-listen step runs under a named mutex so that two copies started
// together cannot both listen. Received lines wait in a queue until a target
// window is set, then each is sent to it on the user-interface thread.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QVariant>
#include <cerrno>
#include <cstring>
#include <deque>
#include <string>

#include "product.h"
#include "windows/windows_private.h"

namespace plat {

namespace {

constexpr uint32_t kMaxLine = 64 * 1024;
constexpr int kAckTimeoutMs = 10000;
constexpr char kAck = 1;

struct Delivery {
    std::mutex lock;
    HWND target = nullptr;
    UINT msg = 0;
    std::deque<std::string> pending;
};

Delivery& delivery() {
    static Delivery d;
    return d;
}

// User-interface thread only.
QPointer<QLocalServer> g_server;
std::string g_path;
int g_server_folder = -1;  // held while the server's address goes through it

std::string socket_path(LPCSTR name) {
    return PlatformFolder(PlatformRuntimePath) + (name ? name : product::kProgramName) + ".sock";
}

// What bind and connect use for the socket file. A path longer than a socket
// address holds is reached through an open descriptor of its folder
// ("/proc/self/fd/N/<name>"), which *folder receives (-1 when not needed);
// the caller closes it once the address is no longer used. "" on failure.
std::string socket_address(const std::string& path, int* folder) {
    *folder = -1;
    if (path.size() < sizeof(sockaddr_un::sun_path)) return path;
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    *folder = ::open(path.substr(0, slash + 1).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (*folder < 0) return "";
    std::string address = "/proc/self/fd/" + std::to_string(*folder) + path.substr(slash);
    return address.size() < sizeof(sockaddr_un::sun_path) ? address : "";
}

bool wait_fd(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    int r;
    do r = poll(&p, 1, timeoutMs);
    while (r < 0 && errno == EINTR);
    return r > 0;
}

bool send_all(int fd, const char* data, size_t n) {
    while (n > 0) {
        if (!wait_fd(fd, POLLOUT, kAckTimeoutMs)) return false;
        ssize_t w = send(fd, data, n, MSG_NOSIGNAL);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        data += w;
        n -= size_t(w);
    }
    return true;
}

enum class Handover { NoCopy, Done, Failed };

Handover hand_over(const std::string& path, const std::string& line) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    int folder = -1;
    std::string address = socket_address(path, &folder);
    if (address.empty()) {
        if (folder >= 0) close(folder);
        return Handover::Failed;
    }
    std::memcpy(addr.sun_path, address.c_str(), address.size() + 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bool connected = fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
    if (folder >= 0) close(folder);
    if (fd < 0) return Handover::Failed;
    if (!connected) {
        close(fd);
        return Handover::NoCopy;
    }
    uint32_t n = uint32_t(std::min<size_t>(line.size(), kMaxLine));
    unsigned char head[4] = {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
    char ack = 0;
    bool ok = send_all(fd, reinterpret_cast<char*>(head), 4) && send_all(fd, line.data(), n) &&
              wait_fd(fd, POLLIN, kAckTimeoutMs) && recv(fd, &ack, 1, 0) == 1 && ack == kAck;
    close(fd);
    return ok ? Handover::Done : Handover::Failed;
}

void deliver_pending() {
    for (;;) {
        HWND target;
        UINT msg;
        std::string line;
        {
            std::lock_guard guard(delivery().lock);
            if (delivery().pending.empty() || !IsWindow(delivery().target)) return;
            target = delivery().target;
            msg = delivery().msg;
            line = std::move(delivery().pending.front());
            delivery().pending.pop_front();
        }
        if (HWND top = top_level_of(target)) {
            if (IsIconic(top)) ShowWindow(top, SW_RESTORE);
            SetForegroundWindow(top);
        }
        SendMessage(target, msg, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

void queue_line(std::string line) {
    {
        std::lock_guard guard(delivery().lock);
        delivery().pending.push_back(std::move(line));
    }
    // Delivered from the event loop, not from inside the socket's handler.
    QMetaObject::invokeMethod(
        layer_object(), [] { deliver_pending(); }, Qt::QueuedConnection);
}

// Reads one length-prefixed line from a connection, acknowledges it and queues it.
void serve(QLocalSocket* sock) {
    QByteArray buf = sock->property("platBuffer").toByteArray() + sock->readAll();
    sock->setProperty("platBuffer", buf);
    if (buf.size() < 4) return;
    const auto* b = reinterpret_cast<const unsigned char*>(buf.constData());
    uint32_t n = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    if (n > kMaxLine) {
        sock->abort();
        return;
    }
    if (uint32_t(buf.size()) < 4 + n) return;
    std::string line(buf.constData() + 4, n);
    sock->setProperty("platBuffer", QByteArray());
    sock->write(&kAck, 1);
    sock->flush();
    sock->disconnectFromServer();
    queue_line(std::move(line));
}

void accept_connections() {
    while (g_server && g_server->hasPendingConnections()) {
        QLocalSocket* sock = g_server->nextPendingConnection();
        QObject::connect(sock, &QLocalSocket::disconnected, sock, &QObject::deleteLater);
        QObject::connect(sock, &QLocalSocket::readyRead, sock, [sock] { serve(sock); });
        serve(sock);
    }
}

bool listen_ui(const std::string& path) {
    // A socket file with no listener is what a crashed copy leaves behind.
    ::unlink(path.c_str());
    // The runtime folder is the user's own (mode 0700), which keeps others out.
    int folder = -1;
    std::string address = socket_address(path, &folder);
    auto* server = new QLocalServer(layer_object());
    if (address.empty() || !server->listen(QString::fromStdString(address))) {
        delete server;
        if (folder >= 0) close(folder);
        return false;
    }
    // Qt removes the socket file by the address when the server closes.
    g_server_folder = folder;
    QObject::connect(server, &QLocalServer::newConnection, server, [] { accept_connections(); });
    g_server = server;
    g_path = path;
    return true;
}

}  // namespace

}  // namespace plat

using namespace plat;

extern "C" {

BOOL PlatformInstanceStart(LPCSTR name, LPCSTR commandLine) {
    std::string path = socket_path(name);
    std::string guard_name =
        std::string(product::kInstanceGuardPrefix) + (name ? name : product::kProgramName);
    HANDLE guard = CreateMutex(nullptr, FALSE, guard_name.c_str());
    bool held = guard && WaitForSingleObject(guard, kAckTimeoutMs) == WAIT_OBJECT_0;
    Handover h = hand_over(path, commandLine ? commandLine : "");
    if (h == Handover::NoCopy)
        run_on_ui([path] {
            if (!g_server) listen_ui(path);
            return LRESULT(0);
        });
    if (held) ReleaseMutex(guard);
    if (guard) CloseHandle(guard);
    return h == Handover::Done ? TRUE : FALSE;
}

void PlatformInstanceSetTarget(HWND target, UINT msg) {
    {
        std::lock_guard guard(delivery().lock);
        delivery().target = target;
        delivery().msg = msg;
    }
    if (QObject* layer = layer_object())
        QMetaObject::invokeMethod(
            layer, [] { deliver_pending(); }, Qt::QueuedConnection);
}

void PlatformInstanceStop(void) {
    run_on_ui([] {
        if (g_server) {
            g_server->close();
            delete g_server.data();
        }
        if (!g_path.empty()) ::unlink(g_path.c_str());
        g_path.clear();
        if (g_server_folder >= 0) close(g_server_folder);
        g_server_folder = -1;
        return LRESULT(0);
    });
}
}
