// Every request path verifies the server's certificate: the sign-in paths
// carry Microsoft and Minecraft tokens, which must never go to whoever sits on
// the network path.

#include <gtest/gtest.h>

#include "net/HttpSession.h"
#include "support/HttpTestServer.h"
#include "support/SelfSignedCertificate.h"
#include "support/TempFolder.h"

namespace kestrel::net {
namespace {

class Https : public ::testing::Test {
protected:
    Https() : server_(certificate_.certificate(), certificate_.key()) {
        server_.server().Get("/token", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("secret", "text/plain");
        });
        server_.server().Post("/token", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("secret", "text/plain");
        });
        ca_file_ = folder_.Write("ca.pem", certificate_.Pem());
    }

    std::vector<std::string> AllPaths(const HttpSession& session, const std::string& url) {
        return {session.InetRequest(url, kPost, "x", ""), session.CurlRequest(url, kPost, "x", ""),
                session.ComRequest(url, kPost, "x", ""), session.Download(url)};
    }

    testing::SelfSignedCertificate certificate_;
    testing::HttpsTestServer server_;
    testing::TempFolder folder_;
    std::string ca_file_;
};

TEST_F(Https, UntrustedCertificateIsRefusedByEveryPath) {
    for (const std::string& body : AllPaths(HttpSession(), server_.Url("/token"))) EXPECT_EQ(body, "");
}

TEST_F(Https, CertificateHandedInAsCaIsAccepted) {
    HttpOptions options;
    options.ca_file = ca_file_;
    const std::vector<std::string> bodies = AllPaths(HttpSession(options), server_.Url("/token"));
    EXPECT_EQ(bodies, std::vector<std::string>(4, "secret"));
}

TEST_F(Https, RedirectFromHttpsToPlainHttpIsNotFollowed) {
    testing::HttpTestServer plain;
    int plain_hits = 0;
    plain.server().Get("/token", [&plain_hits](const httplib::Request&, httplib::Response& response) {
        ++plain_hits;
        response.set_content("in clear", "text/plain");
    });
    const std::string target = plain.Url("/token");
    server_.server().Get("/down", [target](const httplib::Request&, httplib::Response& response) {
        response.set_redirect(target);
    });
    HttpOptions options;
    options.ca_file = ca_file_;
    EXPECT_EQ(HttpSession(options).InetRequest(server_.Url("/down"), kGet, "", "Authorization: Bearer t"), "");
    EXPECT_EQ(plain_hits, 0);
}

}  // namespace
}  // namespace kestrel::net
