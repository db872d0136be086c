#include "service/HttpMessages.h"

namespace stelmar {

const char* ReasonPhrase(int status)
{
    switch (status) {
    case 100: return "Continue";
    case 200: return "OK";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 414: return "URI Too Long";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Unknown";
    }
}

std::string AnswerHead(const HttpAnswer& answer, bool close, bool keepAliveField)
{
    std::string head = "HTTP/1.1 " + std::to_string(answer.Status) + " " + ReasonPhrase(answer.Status) + "\r\n";
    head += "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n";
    for (const auto& [name, value] : answer.Fields) head += name + ": " + value + "\r\n";
    if (answer.Status != 304) {
        head += "Content-Type: " + answer.ContentType + "\r\n";
        head += "Content-Length: " + std::to_string(answer.Content().size()) + "\r\n";
    }
    if (close) head += "Connection: close\r\n";
    else if (keepAliveField) head += "Connection: keep-alive\r\n";
    head += "\r\n";
    return head;
}

}  // namespace stelmar
