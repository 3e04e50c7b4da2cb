#pragma once
// httplib's server with two things its connection loop lacks: a response can end its
// connection (a refused post's unread body must not be parsed as the next request), and a
// request that takes too long to arrive, headers included, gets a 408 instead of a silent drop.
#include <httplib.h>

namespace scores {

class HttpServer : public httplib::Server {
public:
    // The whole request, from its first byte to its last, must arrive within this.
    void set_request_deadline(int seconds) { request_deadline_seconds_ = seconds; }

    // httplib listens with a backlog of 5: a burst of new connections beyond that waits for
    // the client's SYN to be sent again, a second or more. Call after binding.
    void RaiseBacklog(int backlog);

    // Called by a handler: the connection closes after the response is sent.
    static void CloseAfterResponse();
    // True while answering a request whose arrival was cut off by a timeout.
    static bool RequestTimedOut();

private:
    bool process_and_close_socket(socket_t sock) override;
    int request_deadline_seconds_ = 10;
};

}  // namespace scores
