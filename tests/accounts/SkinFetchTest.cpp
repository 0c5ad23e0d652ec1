// The skin fetch from the session service, against a fake of it.

#include "accounts/SkinFetch.h"

#include <gtest/gtest.h>

#include "support/FakeSessionService.h"
#include "support/TestSkin.h"

namespace kestrel::accounts {
namespace {

using Answer = testing::FakeAnswer;
using testing::TestSkin;

TEST(SkinFetch, TakesTheSkinOfAHexadecimalProfileIdOnly) {
    testing::FakeSessionService session;
    const std::string skin = TestSkin();
    const std::string id = "4566e69fc90748ee8d71d7ba5aa00d20";
    session.AddSkin(id, skin);
    session.AddSkin("4566E69FC90748EE8D71D7BA5AA00D20", skin);
    session.AddSkin("4566e69fc90748ee8d71d7ba5aa00d2z", skin);
    session.AddSkin("not-a-picture000000000000000000a", "<html>Not Found</html>");
    net::Endpoints endpoints = net::Endpoints::Defaults();
    endpoints.Override("session=" + session.Url());
    const net::HttpSession http;
    EXPECT_EQ(FetchSkin(http, endpoints, id), skin);
    EXPECT_EQ(FetchSkin(http, endpoints, "4566E69FC90748EE8D71D7BA5AA00D20"), skin);
    const std::size_t requests = session.record().Seen().size();
    for (const std::string bad : {"4566e69fc90748ee8d71d7ba5aa00d2z", "../../../../texture/4566e69fc90748ee8d7",
                                  "4566e69fc90748ee8d71d7ba5aa00d20?x", "", "4566e69f-c907-48ee-8d71-d7ba5aa00d20"}) {
        EXPECT_EQ(FetchSkin(http, endpoints, bad), "") << bad;
    }
    EXPECT_EQ(session.record().Seen().size(), requests);  // none of them was asked for

    // An answer that is not a picture, or textures without a skin: no skin.
    EXPECT_EQ(FetchSkin(http, endpoints, "not-a-picture000000000000000000a"), "");
    session.SetProfileAnswer(Answer::Json(
        "{\"id\":\"" + id + "\",\"properties\":[{\"name\":\"textures\",\"value\":\"" +
        testing::TestBase64("{\"textures\":{\"CAPE\":{\"url\":\"" + session.Url("/texture/" + id) + "\"}}}") + "\"}]}"));
    EXPECT_EQ(FetchSkin(http, endpoints, id), "");
    for (const auto& problem : session.record().Problems()) ADD_FAILURE() << problem;
}

}  // namespace
}  // namespace kestrel::accounts
