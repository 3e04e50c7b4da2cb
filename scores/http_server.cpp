#include "scores/http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace scores {

namespace {

using Clock = std::chrono::steady_clock;

thread_local bool t_close_after_response = false;
thread_local bool t_timed_out = false;

void Address(const sockaddr_storage& addr, std::string& ip, int& port) {
    char buf[INET6_ADDRSTRLEN] = "";
    if (addr.ss_family == AF_INET) {
        auto* a = reinterpret_cast<const sockaddr_in*>(&addr);
        inet_ntop(AF_INET, &a->sin_addr, buf, sizeof buf);
        port = ntohs(a->sin_port);
    } else if (addr.ss_family == AF_INET6) {
        auto* a = reinterpret_cast<const sockaddr_in6*>(&addr);
        inet_ntop(AF_INET6, &a->sin6_addr, buf, sizeof buf);
        port = ntohs(a->sin6_port);
    }
    ip = buf;
}

// Waits up to `ms` for `events`; false on a timeout or an error.
bool Wait(int sock, short events, int ms) {
    pollfd p{sock, events, 0};
    for (;;) {
        int n = poll(&p, 1, ms);
        if (n < 0 && errno == EINTR) continue;
        return n > 0;
    }
}

class SocketStream : public httplib::Stream {
public:
    SocketStream(int sock, int read_ms, int write_ms)
        : sock_(sock), read_ms_(read_ms), write_ms_(write_ms) {}

    void StartRequest(Clock::time_point deadline) {
        deadline_ = deadline;
        timed_out_ = false;
    }
    bool timed_out() const { return timed_out_; }

    bool is_readable() const override { return Wait(sock_, POLLIN, ReadWait()); }
    bool is_writable() const override { return Wait(sock_, POLLOUT, write_ms_); }

    ssize_t read(char* ptr, size_t size) override {
        int wait = ReadWait();
        if (wait <= 0 || !Wait(sock_, POLLIN, wait)) {
            timed_out_ = t_timed_out = true;
            return -1;
        }
        for (;;) {
            ssize_t n = recv(sock_, ptr, size, 0);
            if (n < 0 && errno == EINTR) continue;
            return n;
        }
    }
    ssize_t write(const char* ptr, size_t size) override {
        if (!Wait(sock_, POLLOUT, write_ms_)) return -1;
        for (;;) {
            ssize_t n = send(sock_, ptr, size, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) continue;
            return n;
        }
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage addr{};
        socklen_t len = sizeof addr;
        if (getpeername(sock_, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            Address(addr, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage addr{};
        socklen_t len = sizeof addr;
        if (getsockname(sock_, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            Address(addr, ip, port);
    }
    socket_t socket() const override { return sock_; }

private:
    // The shorter of the pause a client may make and what is left of the request's deadline.
    int ReadWait() const {
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
        return static_cast<int>(std::max<long long>(0, std::min<long long>(read_ms_, left)));
    }

    int sock_;
    int read_ms_;
    int write_ms_;
    Clock::time_point deadline_ = Clock::now();
    bool timed_out_ = false;
};

// The only response written here rather than by httplib: httplib gives up on a request whose
// headers never finish without answering.
void SendTimeout(SocketStream& strm) {
    static const std::string body =
        "{\"error\":\"the request arrived too slowly and was dropped\"}";
    std::string head =
        "HTTP/1.1 408 Request Timeout\r\nContent-Type: application/json\r\n"
        "Connection: close\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\n\r\n";
    std::string all = head + body;
    strm.write(all.data(), all.size());
}

}  // namespace

void HttpServer::CloseAfterResponse() {
    t_close_after_response = true;
}

bool HttpServer::RequestTimedOut() {
    return t_timed_out;
}

void HttpServer::RaiseBacklog(int backlog) {
    // Listening again on a listening socket only changes its backlog.
    if (svr_sock_ != INVALID_SOCKET) ::listen(svr_sock_, backlog);
}

bool HttpServer::process_and_close_socket(socket_t sock) {
    // Answers go out as written: httplib writes the head and the body apart, and Nagle's
    // algorithm would hold the body until the client's delayed acknowledgement.
    int one = 1;
    setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    auto ms = [](time_t sec, time_t usec) { return static_cast<int>(sec * 1000 + usec / 1000); };
    SocketStream strm(sock, ms(read_timeout_sec_, read_timeout_usec_),
                      ms(write_timeout_sec_, write_timeout_usec_));
    bool ret = false;
    bool linger = false;
    for (size_t count = keep_alive_max_count_; count > 0; --count) {
        // Wait for the next request in short slices, so a stopping server is not held up.
        auto idle_until = Clock::now() + std::chrono::seconds(keep_alive_timeout_sec_);
        bool readable = false;
        while (svr_sock_ != INVALID_SOCKET && Clock::now() < idle_until)
            if ((readable = Wait(sock, POLLIN, 100))) break;
        if (!readable) break;

        strm.StartRequest(Clock::now() + std::chrono::seconds(request_deadline_seconds_));
        t_close_after_response = t_timed_out = false;
        bool closed = false;
        ret = process_request(strm, count == 1, closed, nullptr);
        if (!ret && strm.timed_out()) SendTimeout(strm);
        if (t_close_after_response || (!ret && strm.timed_out())) linger = true;
        if (!ret || closed || linger) break;
    }
    // A client still sending a refused body would get a reset, which can wipe our answer from
    // its receive buffer before it reads it: take a little of the rest before closing.
    shutdown(sock, SHUT_WR);
    if (linger) {
        char buf[16384];
        size_t drained = 0;
        auto until = Clock::now() + std::chrono::milliseconds(500);
        while (drained < (1u << 20) && Clock::now() < until && Wait(sock, POLLIN, 100)) {
            ssize_t n = recv(sock, buf, sizeof buf, 0);
            if (n <= 0) break;
            drained += static_cast<size_t>(n);
        }
    }
    close(sock);
    return ret;
}

}  // namespace scores
