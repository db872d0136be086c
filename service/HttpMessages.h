#pragma once

// A request as the service's pages see it once the HTTP layer has read it,
// and the answer they give, with the text of the answer's status line and
// header fields.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace stelmar {

inline constexpr const char* kHtmlType = "text/html; charset=utf-8";

struct HttpRequest {
    std::string Method;  // as sent, e.g. "POST"
    std::string Target;  // the path with the query, e.g. "/?a=1"
    std::string ContentType;
    std::string IfNoneMatch;  // the field as sent, when a download is asked again
    std::string Body;
    // Who asks: the client's address (see ClientAddressKey).
    std::string Client;
};

struct HttpAnswer {
    int Status = 200;
    std::string ContentType = kHtmlType;
    // Further header fields, e.g. {"Allow", "POST"}.
    std::vector<std::pair<std::string, std::string>> Fields;
    std::string Body;
    // A report from the store, sent instead of Body and kept alive while
    // it is being written.
    std::shared_ptr<const std::string> Shared;

    std::string_view Content() const { return Shared ? std::string_view(*Shared) : std::string_view(Body); }
};

// "OK", "Not Found", ...; "Unknown" for a status without a phrase here.
const char* ReasonPhrase(int status);

// The status line and header fields of `answer` up to the empty line (an
// answer 304 Not Modified has neither content nor its type and length).
// `close` adds "Connection: close"; `keepAliveField` adds "Connection:
// keep-alive" for an HTTP/1.0 client that asked to keep the connection.
std::string AnswerHead(const HttpAnswer& answer, bool close, bool keepAliveField);

}  // namespace stelmar
