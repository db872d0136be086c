// Reading the fields of multipart/form-data bodies: what browsers and
// other clients send, and the malformed bodies that must be refused.

#include <gtest/gtest.h>

#include <random>

#include "service/MultipartForm.h"

using namespace std::string_literals;

namespace stelmar::test {
namespace {

std::string Part(const std::string& boundary, const std::string& disposition, const std::string& content,
                 const std::string& extraHeaders = "")
{
    return "--" + boundary + "\r\nContent-Disposition: " + disposition + "\r\n" + extraHeaders + "\r\n" + content +
           "\r\n";
}

TEST(MultipartForm, BoundaryFromTheContentType)
{
    EXPECT_TRUE(IsMultipartForm("multipart/form-data; boundary=x"));
    EXPECT_TRUE(IsMultipartForm("Multipart/Form-Data ;boundary=x"));
    EXPECT_FALSE(IsMultipartForm("multipart/form-datax; boundary=x"));
    EXPECT_FALSE(IsMultipartForm("application/x-www-form-urlencoded"));

    EXPECT_EQ(MultipartBoundary("multipart/form-data; boundary=abc"), "abc");
    EXPECT_EQ(MultipartBoundary("multipart/form-data; charset=utf-8; BOUNDARY=\"a b;c\""), "a b;c");
    EXPECT_EQ(MultipartBoundary("multipart/form-data;boundary=----WebKitFormBoundaryX7;x=1"),
              "----WebKitFormBoundaryX7");
    EXPECT_EQ(MultipartBoundary("multipart/form-data; xboundary=abc"), std::nullopt);
    EXPECT_EQ(MultipartBoundary("multipart/form-data; boundary="), std::nullopt);
    EXPECT_EQ(MultipartBoundary("multipart/form-data; boundary=\"abc"), std::nullopt);
    EXPECT_EQ(MultipartBoundary("multipart/form-data; boundary=" + std::string(71, 'b')), std::nullopt);
    EXPECT_EQ(MultipartBoundary("multipart/form-data"), std::nullopt);
}

TEST(MultipartForm, ReadsThePartsAsSent)
{
    const std::string b = "----b0undary";
    // The file holds line breaks, the boundary without the line break of a
    // delimiter and bytes that are not text; a preamble and an epilogue are
    // ignored.
    const std::string file = "line\r\n-" + b + "\r\nx--" + b + "\r\n\0\xff end"s;
    const std::string body = "preamble\r\n" +
                             Part(b, "form-data; name=\"userfile\"; filename=\"C:\\dir\\p.stm\"", file,
                                  "Content-Type: application/octet-stream\r\n") +
                             Part(b, "form-data; name=prec", "3") + Part(b, "form-data; name=\"empty\"", "") +
                             "--" + b + "--\r\nepilogue";
    const std::optional<Upload> upload = ParseMultipartForm(body, b);
    ASSERT_TRUE(upload);
    ASSERT_EQ(upload->Parts.size(), 3u);
    EXPECT_EQ(upload->Parts[0].Name, "userfile");
    EXPECT_EQ(upload->Parts[0].FileName, "C:\\dir\\p.stm");
    EXPECT_EQ(upload->Parts[0].Content, file);
    EXPECT_EQ(upload->Parts[1].Name, "prec");
    EXPECT_EQ(upload->Parts[1].FileName, "");
    EXPECT_EQ(upload->Parts[1].Content, "3");
    EXPECT_EQ(upload->Parts[2].Content, "");

    // The body may start with the delimiter; padding after a delimiter and
    // header names in any case are allowed.
    const std::string plain = "--" + b + "  \r\ncontent-disposition: form-data; name=\"a\"\r\n\r\n1\r\n--" + b + "--";
    const std::optional<Upload> short_ = ParseMultipartForm(plain, b);
    ASSERT_TRUE(short_);
    ASSERT_EQ(short_->Parts.size(), 1u);
    EXPECT_EQ(short_->Parts[0].Content, "1");

    EXPECT_TRUE(ParseMultipartForm("--" + b + "--\r\n", b)) << "a form without fields";
}

TEST(MultipartForm, RefusesMalformedBodies)
{
    const std::string b = "xyz";
    const std::string good = Part(b, "form-data; name=\"a\"", "1");
    const std::string end = "--" + b + "--\r\n";
    const std::pair<const char*, std::string> cases[] = {
        {"no delimiter", "just text"},
        {"other boundary", Part("abc", "form-data; name=\"a\"", "1") + "--abc--\r\n"},
        {"no closing delimiter", good},
        {"part cut in its headers", "--" + b + "\r\nContent-Disposition: form-data; name=\"a\""},
        {"part cut in its content", good + "--" + b + "\r\nContent-Disposition: form-data; name=\"b\"\r\n\r\n2"},
        {"no name", Part(b, "form-data; filename=\"f\"", "1") + end},
        {"no disposition", "--" + b + "\r\nContent-Type: text/plain\r\n\r\n1\r\n" + end},
        {"not form-data", Part(b, "attachment; name=\"a\"", "1") + end},
        {"unclosed quote", Part(b, "form-data; name=\"a", "1") + end},
        {"header without colon", "--" + b + "\r\nContent-Disposition form-data\r\n\r\n1\r\n" + end},
        {"junk after delimiter", "--" + b + "junk\r\n" + good + end},
    };
    for (const auto& [what, body] : cases) EXPECT_FALSE(ParseMultipartForm(body, b)) << what;

    std::string many;
    for (std::size_t i = 0; i <= kMaxFormParts; ++i) many += Part(b, "form-data; name=\"f\"", "1");
    EXPECT_FALSE(ParseMultipartForm(many + end, b)) << "too many parts";
    many.erase(many.rfind("--" + b));
    EXPECT_TRUE(ParseMultipartForm(many + end, b)) << "the most parts allowed";
}

// The counter fed as the body arrives, in pieces of random sizes; true
// once it refuses.
bool RefusedWhileArriving(const std::string& body, const std::string& boundary, unsigned seed)
{
    std::mt19937 rng(seed);
    FormPartCounter counter(boundary);
    for (std::size_t arrived = 0; arrived < body.size();) {
        arrived = std::min(body.size(), arrived + 1 + rng() % 64);
        if (counter.TooMany(std::string_view(body).substr(0, arrived))) return true;
    }
    return false;
}

TEST(MultipartForm, TooManyPartsAreSeenWhileTheBodyArrives)
{
    const std::string b = "xyz";
    const std::string end = "--" + b + "--\r\n";
    std::string most;
    for (std::size_t i = 0; i < kMaxFormParts; ++i) most += Part(b, "form-data; name=\"f\"", "\r\n--xyx\r\n-xyz");
    const std::string over = most + Part(b, "form-data; name=\"f\"", "1");
    for (unsigned seed = 1; seed <= 5; ++seed) {
        // Exactly where the parser refuses, however the body is cut.
        EXPECT_FALSE(RefusedWhileArriving(most + end, b, seed));
        EXPECT_TRUE(RefusedWhileArriving(over + end, b, seed));
        EXPECT_TRUE(RefusedWhileArriving("preamble\r\n" + over, b, seed)) << "before the body is complete";
        // Delimiters after the closing one are not parts.
        EXPECT_FALSE(RefusedWhileArriving(most + end + over + end, b, seed));
        EXPECT_FALSE(RefusedWhileArriving(std::string(1000, 'x'), b, seed));
    }
    EXPECT_FALSE(ParseMultipartForm(over + end, b));
    EXPECT_TRUE(ParseMultipartForm(most + end + over + end, b));
}

}  // namespace
}  // namespace stelmar::test
