// The transfer module as the launcher loads it: found by path, checked, and
// able to make a real request; and what a missing or foreign library gives.

#include "net/CurlLibrary.h"

#include <gtest/gtest.h>

#include <string>

#include "support/HttpTestServer.h"

namespace kestrel::net {
namespace {

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* out) {
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

TEST(CurlLibrary, TheModuleOfTheBuildMakesARequest) {
    const auto loaded = CurlLibrary::Load({"/nonexistent/libkestrel_curl.so", KESTREL_CURL_MODULE_PATH});
    ASSERT_TRUE(loaded) << loaded.error();
    const CurlFunctions& curl = **loaded;
    EXPECT_EQ(curl.layout_version, kCurlFunctionsLayout);

    testing::HttpTestServer server;
    server.server().Get("/hello", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("hello from the module", "text/plain");
    });
    CURL* handle = curl.easy_init();
    ASSERT_NE(handle, nullptr);
    std::string body;
    const std::string url = server.Url("/hello");
    curl.easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl.easy_setopt(handle, CURLOPT_WRITEFUNCTION, &Collect);
    curl.easy_setopt(handle, CURLOPT_WRITEDATA, &body);
    curl.easy_setopt(handle, CURLOPT_PROXY, "");
    EXPECT_EQ(curl.easy_perform(handle), CURLE_OK);
    long status = 0;
    curl.easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    curl.easy_cleanup(handle);
    EXPECT_EQ(status, 200);
    EXPECT_EQ(body, "hello from the module");
}

TEST(CurlLibrary, NoModuleOrAForeignLibraryIsRefusedWithTheReason) {
    const auto missing = CurlLibrary::Load({"/nonexistent/libkestrel_curl.so"});
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().find("libkestrel_curl.so not loaded"), std::string::npos) << missing.error();
    EXPECT_NE(missing.error().find("/nonexistent/libkestrel_curl.so"), std::string::npos) << missing.error();

    // A library that loads but has no table of ours.
    const auto foreign = CurlLibrary::Load({"libc.so.6"});
    ASSERT_FALSE(foreign);
    EXPECT_NE(foreign.error().find("not a transfer module"), std::string::npos) << foreign.error();

    EXPECT_FALSE(CurlLibrary::Load({}));
}

}  // namespace
}  // namespace kestrel::net
