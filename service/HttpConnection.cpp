#include "service/HttpConnection.h"

#include <boost/asio/dispatch.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/http/error.hpp>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "service/ClientAddress.h"
#include "service/ServiceRoutes.h"

namespace stelmar {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using boost::system::error_code;

namespace {

constexpr std::size_t kReadChunk = 16 << 10;
constexpr std::size_t kWriteChunk = 256 << 10;
// How long and how much a closing connection reads of what the client
// still sends, so that the close does not reset the connection before the
// client has read the answer; a client that sends on and on is reset.
constexpr std::chrono::milliseconds kLinger{1000};
constexpr std::size_t kLingerBytes = 1 << 20;

constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";

// Methods whose requests may carry a body, which must declare its length.
bool CarriesBody(std::string_view method)
{
    return method == "POST" || method == "PUT" || method == "PATCH" || method == "DELETE";
}

std::string PeerKey(const HttpConnection::Socket& socket)
{
    error_code ec;
    const auto peer = socket.remote_endpoint(ec);
    return ec ? std::string() : ClientAddressKey(peer.address());
}

}  // namespace

HttpConnection::HttpConnection(Socket socket, ConnectionShared& shared)
    : shared_(shared), socket_(std::move(socket)), client_(PeerKey(socket_)), timer_(socket_.get_executor())
{
}

HttpConnection::~HttpConnection()
{
    ReleaseBody();
    if (refused_) --shared_.Refusing;
    shared_.Open.Remove(this);
}

void HttpConnection::Serve()
{
    asio::dispatch(socket_.get_executor(), [self = shared_from_this()] { self->BeginRequest(); });
}

void HttpConnection::Refuse()
{
    refused_ = true;
    ++shared_.Refusing;
    asio::dispatch(socket_.get_executor(), [self = shared_from_this()] { self->SendError(503); });
}

void HttpConnection::Shutdown()
{
    asio::dispatch(socket_.get_executor(), [self = shared_from_this()] {
        self->stopping_ = true;
        if (self->phase_ == Phase::Writing) self->closeAfter_ = true;
        else self->Close();
    });
}

void HttpConnection::BeginRequest()
{
    if (stopping_) return Close();
    phase_ = Phase::Reading;
    parser_.emplace();
    parser_->header_limit(static_cast<std::uint32_t>(shared_.Limits.MaxHeaderBytes));
    // The body is read and bounded below. (Beast 1.74 takes boost::none as
    // a limit of zero here.)
    parser_->body_limit(std::numeric_limits<std::uint64_t>::max());
    parser_->eager(false);
    scanned_ = 0;
    lineStart_ = 0;
    firstLine_ = true;
    headerEnd_ = false;
    headerTaken_ = 0;
    received_ = buffer_.size() > 0;
    request_ = {};
    formParts_.reset();
    unread_ = 0;
    Arm(shared_.Limits.RequestTimeout);
    // A client may send its next request before the answer to this one.
    if (received_) ParseHeader();
    else ReadHeader();
}

void HttpConnection::ReadHeader()
{
    socket_.async_read_some(buffer_.prepare(kReadChunk),
                            [self = shared_from_this()](const error_code& ec, std::size_t n) {
                                if (ec || self->timedOut_) return self->ReadFailed();
                                self->buffer_.commit(n);
                                self->received_ = true;
                                self->ParseHeader();
                            });
}

void HttpConnection::ParseHeader()
{
    if (const int status = ScanLines()) return SendError(status);
    error_code ec;
    const std::size_t used = parser_->put(buffer_.data(), ec);
    // The parser takes the start line and complete fields as they come.
    buffer_.consume(used);
    headerTaken_ += used;
    scanned_ -= std::min(scanned_, used);
    lineStart_ -= std::min(lineStart_, used);
    if (parser_->is_header_done()) return HeaderRead();
    if (ec && ec != http::error::need_more) return SendError(ec == http::error::header_limit ? 431 : 400);
    ReadHeader();
}

// Checks the lines that arrived since the last call, without waiting for
// the end of the header: a line that never ends is refused as soon as it is
// too long. 0 when all is within the limits.
int HttpConnection::ScanLines()
{
    const HttpLimits& limits = shared_.Limits;
    const char* data = static_cast<const char*>(buffer_.data().data());
    const std::size_t size = buffer_.size();
    while (!headerEnd_ && scanned_ < size) {
        const char* end = static_cast<const char*>(std::memchr(data + scanned_, '\n', size - scanned_));
        if (!end) {
            scanned_ = size;
            break;
        }
        const std::size_t length = static_cast<std::size_t>(end - data) - lineStart_;  // with the '\r'
        if (length > limits.MaxLineBytes) return firstLine_ ? 414 : 431;
        headerEnd_ = !firstLine_ && length <= 1;
        firstLine_ = false;
        scanned_ = lineStart_ = static_cast<std::size_t>(end - data) + 1;
    }
    if (headerEnd_) return 0;
    if (size - lineStart_ > limits.MaxLineBytes) return firstLine_ ? 414 : 431;
    if (headerTaken_ + size > limits.MaxHeaderBytes) return 431;
    return 0;
}

void HttpConnection::HeaderRead()
{
    const auto& header = parser_->get();
    request_.Method = std::string(header.method_string());
    request_.Target = std::string(header.target());
    request_.ContentType = std::string(header[http::field::content_type]);
    request_.IfNoneMatch = std::string(header[http::field::if_none_match]);
    request_.Client = client_;
    keepAlive_ = header.keep_alive();
    http10_ = header.version() == 10;
    headOnly_ = request_.Method == "HEAD";
    const bool expectsContinue = beast::iequals(header[http::field::expect], "100-continue");
    const bool coded = header.count(http::field::transfer_encoding) != 0;
    const boost::optional<std::uint64_t> length = parser_->content_length();
    const unsigned version = header.version();
    parser_.reset();
    if (version != 10 && version != 11) return SendError(400);
    // A body that does not declare its length could only be bounded while
    // it is read; a form always declares it.
    if (coded || (!length && CarriesBody(request_.Method))) return SendError(411);
    // A client that waits for leave to send its body sends none when
    // refused; any other sends it anyway.
    const std::size_t coming = expectsContinue ? 0 : static_cast<std::size_t>(length.value_or(0));
    if (length && *length > shared_.Limits.MaxBodyBytes) {
        unread_ = coming;
        return SendError(413);
    }
    bodyLength_ = static_cast<std::size_t>(length.value_or(0));
    if (bodyLength_ == 0) return RequestRead();

    if (shared_.BodiesBytes.fetch_add(bodyLength_) + bodyLength_ > shared_.Limits.MaxBodiesBytes) {
        shared_.BodiesBytes -= bodyLength_;
        unread_ = coming;
        return SendError(503);
    }
    bodyReserved_ = bodyLength_;
    if (const std::optional<std::string_view> boundary = ServiceRoutes::FormBoundary(request_))
        formParts_.emplace(*boundary);
    const std::size_t early = std::min(buffer_.size(), bodyLength_);
    request_.Body.assign(static_cast<const char*>(buffer_.data().data()), early);
    buffer_.consume(early);
    if (!expectsContinue || early == bodyLength_) return ReadBody();
    asio::async_write(socket_, asio::buffer(kContinue),
                      [self = shared_from_this()](const error_code& ec, std::size_t) {
                          if (ec || self->timedOut_) return self->ReadFailed();
                          self->ReadBody();
                      });
}

void HttpConnection::ReadBody()
{
    const std::size_t have = request_.Body.size();
    if (formParts_ && formParts_->TooMany(request_.Body)) {
        // The form cannot be taken whatever follows: answered now, the
        // rest read and dropped.
        unread_ = bodyLength_ - have;
        std::string().swap(request_.Body);
        return SendError(400);
    }
    if (have == bodyLength_) return RequestRead();
    socket_.async_read_some(buffer_.prepare(std::min(kReadChunk, bodyLength_ - have)),
                            [self = shared_from_this()](const error_code& ec, std::size_t n) {
                                if (ec || self->timedOut_) return self->ReadFailed();
                                beast::flat_buffer& buffer = self->buffer_;
                                buffer.commit(n);
                                self->request_.Body.append(static_cast<const char*>(buffer.data().data()),
                                                           buffer.size());
                                buffer.consume(buffer.size());
                                self->ReadBody();
                            });
}

void HttpConnection::ReadFailed()
{
    // The deadline cancelled the read: a client that has begun a request is
    // told why the connection closes; an idle one is simply closed.
    if (timedOut_ && received_ && phase_ == Phase::Reading) return SendError(408);
    Close();
}

void HttpConnection::RequestRead()
{
    Disarm();
    phase_ = Phase::Calculating;
    formParts_.reset();
    // The answer may come from another thread: it is sent on this
    // connection's strand.
    shared_.Routes.Answer(std::move(request_), [self = shared_from_this()](HttpAnswer answer) {
        asio::dispatch(self->socket_.get_executor(),
                       [self, answer = std::move(answer)]() mutable { self->Send(std::move(answer)); });
    });
}

void HttpConnection::Send(HttpAnswer answer)
{
    if (phase_ == Phase::Closed) return;
    ReleaseBody();
    phase_ = Phase::Writing;
    closeAfter_ = closeAfter_ || !keepAlive_ || stopping_;
    answer_ = std::move(answer);
    head_ = AnswerHead(answer_, closeAfter_, http10_);
    body_ = headOnly_ ? std::string_view{} : answer_.Content();
    written_ = 0;
    WriteNext();
}

void HttpConnection::SendError(int status)
{
    // The rest of the request cannot be told from a next one.
    closeAfter_ = true;
    headOnly_ = false;
    Send(shared_.Routes.Status(status));
}

void HttpConnection::WriteNext()
{
    const std::size_t total = head_.size() + body_.size();
    if (written_ == total) return Written();
    // Each part of the answer has its own deadline: a large report reaches
    // a slow but steady reader, a client that stops reading is dropped.
    std::array<asio::const_buffer, 2> parts;
    std::size_t room = kWriteChunk;
    if (written_ < head_.size()) {
        const std::size_t n = head_.size() - written_;
        parts[0] = asio::buffer(head_.data() + written_, n);
        room = n >= room ? 0 : room - n;
    }
    const std::size_t bodyDone = written_ > head_.size() ? written_ - head_.size() : 0;
    parts[1] = asio::buffer(body_.data() + bodyDone, std::min(room, body_.size() - bodyDone));
    Arm(shared_.Limits.RequestTimeout);
    asio::async_write(socket_, parts,
                      [self = shared_from_this()](const error_code& ec, std::size_t n) {
                          if (ec || self->timedOut_) return self->Close();
                          self->written_ += n;
                          self->WriteNext();
                      });
}

void HttpConnection::Written()
{
    Disarm();
    answer_ = {};
    head_.clear();
    body_ = {};
    if (closeAfter_) return Linger();
    BeginRequest();
}

void HttpConnection::Linger()
{
    phase_ = Phase::Closing;
    error_code ec;
    socket_.shutdown(Socket::shutdown_send, ec);
    if (ec || stopping_) return Close();
    buffer_.clear();
    lingered_ = 0;
    // The rest of a body the answer came before may take as long as a
    // request; otherwise the wait is short.
    const HttpLimits& limits = shared_.Limits;
    Arm(unread_ > 0 ? limits.RequestTimeout
                    : std::min<std::chrono::steady_clock::duration>(kLinger, limits.RequestTimeout));
    Drain();
}

void HttpConnection::Drain()
{
    socket_.async_read_some(buffer_.prepare(kReadChunk), [self = shared_from_this()](const error_code& ec, std::size_t n) {
        self->lingered_ += n;
        const std::size_t allowed = kLingerBytes + std::min(self->unread_, self->shared_.Limits.MaxBodyBytes);
        if (ec || self->timedOut_ || self->lingered_ > allowed) return self->Close();
        self->Drain();
    });
}

void HttpConnection::Close()
{
    if (phase_ == Phase::Closed) return;
    phase_ = Phase::Closed;
    Disarm();
    error_code ignored;
    socket_.close(ignored);
}

// The deadline cancels the operation in progress; a client that keeps data
// always available could still have its next read succeed at once, so every
// completion also looks at timedOut_.
void HttpConnection::Arm(std::chrono::steady_clock::duration timeout)
{
    timedOut_ = false;
    const unsigned deadline = ++deadline_;
    timer_.expires_after(timeout);
    timer_.async_wait([self = shared_from_this(), deadline](const error_code& ec) {
        if (ec || deadline != self->deadline_) return;
        self->timedOut_ = true;
        error_code ignored;
        self->socket_.cancel(ignored);
    });
}

void HttpConnection::Disarm()
{
    ++deadline_;
    timer_.cancel();
}

void HttpConnection::ReleaseBody()
{
    shared_.BodiesBytes -= bodyReserved_;
    bodyReserved_ = 0;
}

}  // namespace stelmar
