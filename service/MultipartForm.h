#pragma once

// The fields of a form sent as multipart/form-data: the boundary from the
// request's Content-Type and the parts of the body, as views into it.

#include <optional>
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

}  // namespace stelmar
