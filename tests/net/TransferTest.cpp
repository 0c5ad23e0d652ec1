#include "net/Transfer.h"

#include <gtest/gtest.h>

#include "support/HttpTestServer.h"

namespace kestrel::net {
namespace {

TEST(ByteBuffer, GrowsToTwiceWhatItNeedsAndRespectsItsLimit) {
    ByteBuffer buffer;
    EXPECT_EQ(buffer.capacity(), 512u);
    const std::string first(600, 'a');
    ASSERT_TRUE(buffer.Append(first.data(), first.size()));
    EXPECT_EQ(buffer.capacity(), 1200u);
    const std::string second(700, '\0');
    ASSERT_TRUE(buffer.Append(second.data(), second.size()));
    EXPECT_EQ(buffer.capacity(), 2600u);
    EXPECT_EQ(buffer.View(), first + second);

    char out[1000];
    EXPECT_EQ(buffer.Read(out, sizeof out), 1000u);
    EXPECT_EQ(buffer.Read(out, sizeof out), 300u);
    EXPECT_EQ(buffer.Read(out, sizeof out), 0u);

    ByteBuffer small;
    small.SetLimit(1000);
    EXPECT_TRUE(small.Append(first.data(), first.size()));
    EXPECT_FALSE(small.Append(first.data(), first.size()));
    EXPECT_EQ(small.size(), 600u);
}

TEST(Transfer, CookiesFromHeaderLines) {
    const std::pair<std::string, std::string> cases[] = {
        {"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; Path=/\r\nSet-Cookie: b=2; HttpOnly\r\n\r\n", "a=1;b=2"},
        {"Set-Cookie: a=1\r\nSet-Cookie:  a=2 ;x\r\n", "a=1;a=2"},
        {"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n", ""},
        // The name is matched with its letter case, as the header block has it.
        {"set-cookie: a=1\r\nSet-Cookie: b=2\r\n", "b=2"},
        {"", ""},
    };
    for (const auto& [headers, cookies] : cases) EXPECT_EQ(CookiesFromHeaders(headers), cookies) << headers;
}

TEST(Transfer, RedirectChainKeepsEveryResponsesHeaders) {
    testing::HttpTestServer server;
    server.server().Get("/a", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "a=1; Path=/");
        response.set_redirect("/b");
    });
    server.server().Get("/b", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "b=2; HttpOnly");
        response.set_redirect("/c", 301);
    });
    server.server().Get("/c", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("landed", "text/plain");
    });
    Transfer transfer;
    ASSERT_TRUE(transfer.Init());
    transfer.SetUrl(server.Url("/a"));
    EXPECT_EQ(transfer.Perform(), CURLE_OK);
    EXPECT_EQ(transfer.BodyBytes(), "landed");
    const std::string headers = transfer.HeaderText();
    EXPECT_NE(headers.find("HTTP/1.1 302"), std::string::npos) << headers;
    EXPECT_NE(headers.find("HTTP/1.1 301"), std::string::npos) << headers;
    EXPECT_NE(headers.find("HTTP/1.1 200"), std::string::npos) << headers;
    EXPECT_EQ(transfer.ResponseCookies(), "a=1;b=2");
    EXPECT_EQ(transfer.ResponseCode(), 200);
}

TEST(Transfer, LargeBinaryBodyArrivesIntact) {
    std::string body;
    for (int i = 0; i < 300000; ++i) body.push_back(static_cast<char>(i * 7 % 256));
    testing::HttpTestServer server;
    server.server().Get("/big", [&body](const httplib::Request&, httplib::Response& response) {
        response.set_content(body, "application/octet-stream");
    });
    Transfer transfer;
    ASSERT_TRUE(transfer.Init());
    transfer.SetUrl(server.Url("/big"));
    EXPECT_EQ(transfer.Perform(), CURLE_OK);
    EXPECT_EQ(transfer.BodyBytes(), body);
    EXPECT_GE(transfer.BodyCapacity(), body.size());
}

TEST(Transfer, SecondHeaderListReplacesTheFirst) {
    testing::HttpTestServer server;
    server.server().Get("/h", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content(request.get_header_value("X-First") + "|" + request.get_header_value("X-Second"),
                             "text/plain");
    });
    Transfer transfer;
    ASSERT_TRUE(transfer.Init());
    transfer.SetUrl(server.Url("/h"));
    transfer.SetHeaders({"X-First: 1"});
    transfer.SetHeaders({"X-Second: 2"});
    transfer.Perform();
    EXPECT_EQ(transfer.BodyBytes(), "|2");
}

TEST(Transfer, OnlyWebAddressesAreFetched) {
    for (const char* url : {"file:///etc/hostname", "ftp://127.0.0.1/", "gopher://127.0.0.1/"}) {
        Transfer transfer;
        ASSERT_TRUE(transfer.Init());
        transfer.SetUrl(url);
        EXPECT_EQ(transfer.Perform(), CURLE_UNSUPPORTED_PROTOCOL) << url;
        EXPECT_EQ(transfer.BodyBytes(), "") << url;
    }
}

TEST(Transfer, WithoutInitEverythingIsEmpty) {
    Transfer transfer;
    transfer.SetUrl("http://127.0.0.1:1/");
    EXPECT_EQ(transfer.Perform(), CURLE_FAILED_INIT);
    EXPECT_EQ(transfer.BodyBytes(), "");
    EXPECT_EQ(transfer.HeaderText(), "");
    EXPECT_EQ(transfer.ResponseCookies(), "");
}

}  // namespace
}  // namespace kestrel::net
