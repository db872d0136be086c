#pragma once

// One client connection of the calculation service: reads requests with
// every part bounded (the request line and each header field, all header
// fields together, the body, the total time to send a request), hands them
// to the service's routes and writes the answers. A request answered before
// its body has arrived (too large, too many form parts, no room) has the
// rest of its body read and dropped before the connection closes, so that
// the client, still sending, receives the answer. Each
// connection runs on its own strand of the server's I/O threads, so a slow
// client holds no thread, only its socket and buffer.

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/parser.hpp>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "service/ConnectionSet.h"
#include "service/HttpMessages.h"
#include "service/MultipartForm.h"

namespace stelmar {

class ServiceRoutes;

struct HttpLimits {
    std::size_t MaxLineBytes = 8 << 10;     // the request line or one header field; 414 or 431 past it
    std::size_t MaxHeaderBytes = 64 << 10;  // all of them together; 431 past it
    std::size_t MaxBodyBytes = 32 << 20;    // 413 past it
    // Bodies being read or calculated on all connections together; 503 past it.
    std::size_t MaxBodiesBytes = 256 << 20;
    // From the start of waiting for a request to its last byte; 408 past
    // it. Also the longest wait for the client to take each part of an
    // answer.
    std::chrono::milliseconds RequestTimeout{10'000};
};

// What the connections of one server share.
struct ConnectionShared {
    HttpLimits Limits;
    ServiceRoutes& Routes;
    ConnectionSet& Open;
    std::atomic<std::size_t> BodiesBytes{0};
    // Connections over the limit being answered 503.
    std::atomic<std::size_t> Refusing{0};
};

class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
public:
    using Socket = boost::asio::ip::tcp::socket;

    // `socket` must have a strand as its executor.
    HttpConnection(Socket socket, ConnectionShared& shared);
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    // Reads and answers requests until the client or the server closes.
    void Serve();
    // Answers 503 to a connection over the server's limit and closes it.
    void Refuse();
    // Closes now, or once the answer being written is out.
    void Shutdown();

private:
    enum class Phase { Reading, Calculating, Writing, Closing, Closed };

    void BeginRequest();
    void ReadHeader();
    void ParseHeader();
    int ScanLines();
    void HeaderRead();
    void ReadBody();
    void RequestRead();
    void ReadFailed();
    void Send(HttpAnswer answer);
    void SendError(int status);
    void WriteNext();
    void Written();
    void Linger();
    void Drain();
    void Close();
    void Arm(std::chrono::steady_clock::duration timeout);
    void Disarm();
    void ReleaseBody();

    ConnectionShared& shared_;
    Socket socket_;
    const std::string client_;  // ClientAddressKey of the peer
    boost::asio::steady_timer timer_;
    boost::beast::flat_buffer buffer_;
    Phase phase_ = Phase::Reading;

    // The request being read: its header's parser and how far its lines
    // have been checked.
    std::optional<boost::beast::http::request_parser<boost::beast::http::empty_body>> parser_;
    std::size_t scanned_ = 0;
    std::size_t lineStart_ = 0;
    bool firstLine_ = true;
    bool headerEnd_ = false;
    std::size_t headerTaken_ = 0;  // bytes of the header the parser has taken
    bool received_ = false;  // some byte of this request has arrived
    HttpRequest request_;
    std::size_t bodyLength_ = 0;
    std::size_t bodyReserved_ = 0;  // counted in shared_.BodiesBytes
    std::optional<FormPartCounter> formParts_;
    std::size_t unread_ = 0;  // of a body answered before it arrived
    bool keepAlive_ = false;
    bool http10_ = false;
    bool headOnly_ = false;

    // The answer being written.
    HttpAnswer answer_;
    std::string head_;
    std::string_view body_;
    std::size_t written_ = 0;
    bool closeAfter_ = false;
    std::size_t lingered_ = 0;  // bytes read and dropped while closing

    unsigned deadline_ = 0;  // tells the current deadline from earlier ones
    bool timedOut_ = false;
    bool stopping_ = false;
    bool refused_ = false;
};

}  // namespace stelmar
