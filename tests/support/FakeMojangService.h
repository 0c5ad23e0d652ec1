#pragma once

// A fake of the Mojang authentication service (Yggdrasil) on 127.0.0.1:
// POST /authenticate and /signout. It checks the bodies byte for byte and
// answers as the service does: the access token and the available profiles
// for the one account and password it knows, ForbiddenOperationException
// for anything else; sign-out answers an empty 204. Scripted answers replace
// the authenticate answers in order.

#include <string>
#include <vector>

#include "support/FakeServiceScript.h"
#include "support/HttpTestServer.h"

namespace kestrel::testing {

class FakeMojangService {
public:
    static constexpr const char* kAccessToken = "a3f8c2d19e7b4056";
    static constexpr const char* kClientToken = "client-token-5c1e";

    struct Profile {
        std::string id;
        std::string name;
    };

    FakeMojangService(std::string account, std::string password, std::vector<Profile> profiles)
        : account_(std::move(account)), password_(std::move(password)), profiles_(std::move(profiles)) {
        server_.server().Post("/authenticate", [this](const auto& request, auto& response) {
            RequestCheck check(record_, request);
            check.Method("POST").Header("Content-Type", "application/json");
            if (!scripted_.Empty()) return SendAnswer(scripted_.Next(), response, record_.stopping());
            const bool known = request.body == AuthenticateBody(account_, password_);
            if (!check.ok() || !known) {
                if (!request.body.starts_with("{\"agent\":{\"name\":\"Minecraft\",\"version\":\"1\"},\"username\":")) {
                    record_.Problem("authenticate body " + request.body);
                }
                return SendAnswer(FakeAnswer::Json("{\"error\":\"ForbiddenOperationException\",\"errorMessage\":"
                                                   "\"Invalid credentials. Invalid username or password.\"}",
                                                   403),
                                  response, record_.stopping());
            }
            std::string body = std::string("{\"user\":{\"id\":\"9b15dea6606e47a4a241420251703c59\"},\"clientToken\":\"") +
                               kClientToken + "\",\"accessToken\":\"" + kAccessToken + "\",\"availableProfiles\":[";
            for (std::size_t i = 0; i < profiles_.size(); ++i) {
                if (i) body += ",";
                body += "{\"name\":\"" + profiles_[i].name + "\",\"id\":\"" + profiles_[i].id + "\"}";
            }
            body += "]";
            if (!profiles_.empty()) {
                body += ",\"selectedProfile\":{\"name\":\"" + profiles_[0].name + "\",\"id\":\"" + profiles_[0].id + "\"}";
            }
            SendAnswer(FakeAnswer::Json(body + "}"), response, record_.stopping());
        });
        server_.server().Post("/signout", [this](const auto& request, auto& response) {
            RequestCheck check(record_, request);
            check.Method("POST")
                .InetDefaults(server_.Url("/signout"), "application/json")
                .Body("{\"username\":\"" + account_ + "\",\"password\":\"" + password_ + "\"}");
            SendAnswer(FakeAnswer::Empty(204), response, record_.stopping());
        });
    }
    ~FakeMojangService() { record_.stopping() = true; }

    std::string Url() const { return server_.Url(); }
    FakeServiceRecord& record() { return record_; }
    void Script(std::vector<FakeAnswer> answers) { scripted_.Set(std::move(answers)); }

    static std::string AuthenticateBody(const std::string& account, const std::string& password) {
        return "{\"agent\":{\"name\":\"Minecraft\",\"version\":\"1\"},\"username\":\"" + account +
               "\",\"password\":\"" + password + "\",\"requestUser\":\"true\"}";
    }

private:
    std::string account_;
    std::string password_;
    std::vector<Profile> profiles_;
    AnswerQueue scripted_;
    FakeServiceRecord record_;
    HttpTestServer server_;
};

}  // namespace kestrel::testing
