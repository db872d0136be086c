#pragma once

// The fields of a form sent as multipart/form-data: the boundary from the
// request's Content-Type and the parts of the body, as views into it.

#include <optional>
#include <string>
#include <string_view>

#include "service/CalculationService.h"

namespace stelmar {

// More parts than a form of the service ever has; a body with more is
// refused as malformed.
inline constexpr std::size_t kMaxFormParts = 256;

// True when the media type of `contentType` is multipart/form-data.
bool IsMultipartForm(std::string_view contentType);

// The `boundary` parameter of `contentType`, quoted or not; nullopt when it
// is missing, empty or longer than 70 characters.
std::optional<std::string_view> MultipartBoundary(std::string_view contentType);

// The parts between the first delimiter and the closing one (what comes
// before and after is ignored). Each part needs a Content-Disposition
// header with a `name`; `filename` is optional. Nullopt when the body is
// malformed or has more than kMaxFormParts parts.
std::optional<Upload> ParseMultipartForm(std::string_view body, std::string_view boundary);

// Counts the parts of a form body while it arrives, so that a body with
// more parts than ParseMultipartForm takes is refused before the rest of
// it is read.
class FormPartCounter {
public:
    explicit FormPartCounter(std::string_view boundary);
    // `body` is all of the body that has arrived so far, longer on each
    // call. True once it has more than kMaxFormParts parts before the
    // closing delimiter.
    bool TooMany(std::string_view body);

private:
    std::string delimiter_;                // "\r\n--" and the boundary
    std::size_t searched_ = 0;             // the body before it holds no delimiter not yet counted
    std::optional<std::size_t> after_;     // end of a delimiter not yet counted
    std::size_t parts_ = 0;
    bool started_ = false;
    bool closed_ = false;
};

}  // namespace stelmar
