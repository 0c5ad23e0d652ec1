// The download window's flows on the in-memory toolkit: the catalogue's
// loading, filters and search, the name check, the loader choice, and the
// install with its progress, cancel and failure, mostly against the
// launcher's real installing code and a local file server.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/DownloadWindowFixture.h"
#include "shell/VersionNameCheck.h"

namespace kestrel::shell::testing {
namespace {

namespace fs = std::filesystem;
using toolkit::MemorySurface;

// A catalogue of every kind of entry, newest first.
constexpr const char* kCatalogue = R"({"latest":{},"versions":[
  {"id":"24w14a","type":"snapshot","url":"https://piston-meta.mojang.com/s1.json","releaseTime":"2024-04-03T12:00:00+00:00"},
  {"id":"1.20.1","type":"release","url":"https://piston-meta.mojang.com/r2.json","releaseTime":"2023-06-12T13:25:51+00:00"},
  {"id":"1.12.2","type":"release","url":"https://piston-meta.mojang.com/r1.json","releaseTime":"2017-09-18T08:39:46+00:00"},
  {"id":"b1.7.3","type":"old_beta","url":"https://piston-meta.mojang.com/b.json","releaseTime":"2011-07-07T22:00:00+00:00"},
  {"id":"rd-132211","type":"old_alpha","url":"https://piston-meta.mojang.com/a.json","time":"2009-05-13T20:11:00+00:00"}]})";

DownloadSources FixedCatalogue() {
    DownloadSources sources;
    sources.catalogue = [](std::stop_token) { return install::VersionCatalogue::Parse(kCatalogue, "test"); };
    return sources;
}

TEST_F(DownloadWindowTest, TheListShowsReleasesFirstAndTheSwitchesAndSearchFilterIt) {
    // The catalogue waits until the test lets it answer: meanwhile the
    // window says that it is loading, and answers.
    std::promise<void> answer;
    std::shared_future<void> answered = answer.get_future().share();
    DownloadSources sources = FixedCatalogue();
    const auto parse = sources.catalogue;
    sources.catalogue = [parse, answered](std::stop_token stop) {
        answered.wait();
        return parse(stop);
    };
    fs::create_directories(GameDir() + "/versions/1.12.2");
    const auto w = Open(sources);
    EXPECT_EQ(w->WindowTitle(), "下载游戏");
    EXPECT_TRUE(w->Reachable(toolkit::kDownloadListNote));
    EXPECT_EQ(w->Text(toolkit::kDownloadListNote), kCatalogueLoading);
    EXPECT_TRUE(w->Items(toolkit::kDownloadList).empty());
    EXPECT_FALSE(w->Enabled(toolkit::kDownloadInstall));
    EXPECT_TRUE(w->Click("下载_筛选_快照版"));  // the window answers while the list loads
    EXPECT_TRUE(w->Click("下载_筛选_快照版"));
    answer.set_value();

    ASSERT_TRUE(WaitForRows(*w, 2));
    EXPECT_EQ(w->Items(toolkit::kDownloadList),
              (std::vector<std::string>{"1.20.1\t正式版\t2023-06-12\t", "1.12.2\t正式版\t2017-09-18\t已安装"}));
    EXPECT_FALSE(w->Visible(toolkit::kDownloadListNote));
    EXPECT_TRUE(w->Checked("下载_筛选_正式版"));

    struct Case {
        const char* click;   // a switch, or nullptr
        const char* search;  // typed into the search box, or nullptr
        std::vector<std::string> ids;
    };
    const Case cases[] = {
        {"下载_筛选_快照版", nullptr, {"24w14a", "1.20.1", "1.12.2"}},
        {"下载_筛选_远古版", nullptr, {"24w14a", "1.20.1", "1.12.2", "b1.7.3", "rd-132211"}},
        {"下载_筛选_正式版", nullptr, {"24w14a", "b1.7.3", "rd-132211"}},
        {nullptr, " W14 ", {"24w14a"}},
        {"下载_筛选_正式版", "1.", {"1.20.1", "1.12.2", "b1.7.3"}},
        {nullptr, "nothing", {}},
        {nullptr, "", {"24w14a", "1.20.1", "1.12.2", "b1.7.3", "rd-132211"}},
    };
    for (const Case& c : cases) {
        if (c.click) {
            ASSERT_TRUE(w->Click(c.click));
        }
        if (c.search) {
            ASSERT_TRUE(w->Type(toolkit::kDownloadSearchBox, c.search));
        }
        std::vector<std::string> ids;
        for (const std::string& row : w->Items(toolkit::kDownloadList)) ids.push_back(row.substr(0, row.find('\t')));
        EXPECT_EQ(ids, c.ids) << (c.click ? c.click : "") << " " << (c.search ? c.search : "");
        EXPECT_EQ(w->Visible(toolkit::kDownloadListNote), c.ids.empty());
    }
    // Both kinds of old versions are "远古版"; a version without a release
    // time shows its time.
    EXPECT_EQ(w->Items(toolkit::kDownloadList).back(), "rd-132211\t远古版\t2009-05-13\t");
    EXPECT_EQ(w->Problems(), std::vector<std::string>{});
}

TEST_F(DownloadWindowTest, AFailedCatalogueSaysSoAndRetryFetchesItAgain) {
    // Nothing is served yet: the catalogue's request fails.
    const auto w = Open();
    ASSERT_TRUE(w->WaitUntil([&] { return w->Visible(toolkit::kDownloadRetry); }, 10s));
    EXPECT_EQ(w->Text(toolkit::kDownloadListNote).rfind(kCatalogueFailed, 0), 0u) << w->Text(toolkit::kDownloadListNote);
    EXPECT_GT(w->Text(toolkit::kDownloadListNote).size(), std::string(kCatalogueFailed).size());
    EXPECT_TRUE(app_.MessageBoxes().empty());

    version_.Serve(server_);
    ASSERT_TRUE(w->Click(toolkit::kDownloadRetry));
    ASSERT_TRUE(WaitForRows(*w, 1));
    EXPECT_EQ(w->Items(toolkit::kDownloadList)[0], "1.7.2-test\t正式版\t2013-10-25\t");
    EXPECT_FALSE(w->Visible(toolkit::kDownloadRetry));
    EXPECT_FALSE(w->Visible(toolkit::kDownloadListNote));
}

TEST_F(DownloadWindowTest, InstallShowsItsProgressAndTheMainWindowSelectsTheNewVersion) {
    version_.Serve(server_);
    main_->SetItems("版本框", {});
    const auto w = Open();
    ASSERT_TRUE(WaitForRows(*w, 1));
    ASSERT_TRUE(ChooseVersion(*w, "1.7.2-test"));
    EXPECT_EQ(w->Text(toolkit::kDownloadChosen), "1.7.2-test");
    EXPECT_EQ(w->Text(toolkit::kDownloadChosenKind), "正式版  2013-10-25");
    EXPECT_EQ(w->Text(toolkit::kDownloadName), "1.7.2-test");
    ASSERT_TRUE(w->Enabled(toolkit::kDownloadInstall));

    ASSERT_TRUE(w->Click(toolkit::kDownloadInstall));
    ASSERT_TRUE(WaitForInstallEnd(*w));
    WaitForWorkers();
    EXPECT_TRUE(app_.MessageBoxes().empty());
    EXPECT_EQ(w->Text(toolkit::kDownloadStep), std::string(kInstallDone) + "1.7.2-test");

    // Every file is in place.
    const auto files = install::FilesUnder(GameDir());
    for (const auto& [path, bytes] : version_.LinuxLayout()) {
        ASSERT_TRUE(files.count(path)) << path;
        EXPECT_EQ(files.at(path), bytes) << path;
    }
    // The progress went up to the whole, with the files and bytes counted.
    const std::vector<std::string> bar = w->History(toolkit::kDownloadProgress, "value");
    ASSERT_FALSE(bar.empty());
    EXPECT_EQ(bar.back(), "100");
    std::vector<std::string> file_texts = w->History(toolkit::kDownloadFiles, "text");
    EXPECT_NE(std::find_if(file_texts.begin(), file_texts.end(),
                           [](const std::string& t) { return t.rfind("文件 ", 0) == 0 && t != "文件 0/0"; }),
              file_texts.end());
    // The synthetic version is a few KB in all.
    EXPECT_NE(w->Text(toolkit::kDownloadBytes).find(" KB"), std::string::npos) << w->Text(toolkit::kDownloadBytes);
    EXPECT_FALSE(w->History(toolkit::kDownloadStep, "text").empty());
    // While it ran, the choice could not change and "取消" stood in place of "安装".
    EXPECT_EQ(w->History(toolkit::kDownloadCancel, "visible"), (std::vector<std::string>{"1", "0"}));
    EXPECT_EQ(w->History(toolkit::kDownloadList, "enabled"), (std::vector<std::string>{"0", "1"}));

    // The main window lists the version and shows it, and the options file has it.
    EXPECT_TRUE(main_->WaitUntil([&] { return main_->Text("版本框") == "1.7.2-test"; }, 10s));
    EXPECT_EQ(main_->Items("版本框"), std::vector<std::string>{"1.7.2-test"});
    EXPECT_EQ(state_.settings.Get().selected_version, "1.7.2-test");
    EXPECT_NE(SavedOptions().find("RINKU_SUTAATO=\"1.7.2-test\""), std::string::npos);
    // The list marks it, and its name may be installed again only as itself.
    EXPECT_EQ(w->Items(toolkit::kDownloadList)[0], "1.7.2-test\t正式版\t2013-10-25\t已安装");
    EXPECT_TRUE(w->Enabled(toolkit::kDownloadInstall));
    EXPECT_EQ(w->Problems(), std::vector<std::string>{});
}

TEST_F(DownloadWindowTest, ANameOfItsOwnMakesAVersionThatInheritsTheGameVersion) {
    version_.Serve(server_);
    const auto w = Open();
    ASSERT_TRUE(WaitForRows(*w, 1));
    ASSERT_TRUE(ChooseVersion(*w, "1.7.2-test"));
    ASSERT_TRUE(w->Type(toolkit::kDownloadName, "我的生存"));
    ASSERT_TRUE(w->Click(toolkit::kDownloadInstall));
    ASSERT_TRUE(WaitForInstallEnd(*w));
    WaitForWorkers();
    EXPECT_EQ(platform::ReadFile(GameDir() + "/versions/我的生存/我的生存.json").value_or(""),
              R"({"id":"我的生存","inheritsFrom":"1.7.2-test","type":"release"})");
    EXPECT_TRUE(fs::exists(GameDir() + "/versions/1.7.2-test/1.7.2-test.jar"));
    EXPECT_EQ(state_.settings.Get().selected_version, "我的生存");
    EXPECT_TRUE(main_->WaitUntil([&] { return main_->Text("版本框") == "我的生存"; }, 10s));
    // Now the name is taken.
    EXPECT_FALSE(w->Enabled(toolkit::kDownloadInstall));
    EXPECT_EQ(w->Text(toolkit::kDownloadNameNote), kNameTaken);
}

TEST_F(DownloadWindowTest, TheNameIsCheckedAsItIsTyped) {
    fs::create_directories(GameDir() + "/versions/taken");
    fs::create_directories(GameDir() + "/versions/1.12.2");
    const auto w = Open(FixedCatalogue());
    ASSERT_TRUE(WaitForRows(*w, 2));
    ASSERT_TRUE(ChooseVersion(*w, "1.12.2"));
    struct Case {
        std::string name;
        const char* problem;  // "" when the name may be used
    };
    const Case cases[] = {
        {"My 1.12.2", ""},
        {"1.12.2", ""},  // installed already: installing it again completes it
        {"", kNameEmpty},
        {"taken", kNameTaken},
        {"a/b", kNameUnsafe},
        {"a\\b", kNameUnsafe},
        {"..", kNameUnsafe},
        {"x..y", kNameUnsafe},
        {"say \"hi\"", kNameUnsafe},
        {"C:evil", kNameUnsafe},
        {std::string(101, 'a'), kNameTooLong},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(w->Type(toolkit::kDownloadName, c.name));
        const std::string problem = c.problem;
        EXPECT_EQ(w->Visible(toolkit::kDownloadNameNote), !problem.empty()) << c.name;
        if (!problem.empty()) {
            EXPECT_EQ(w->Text(toolkit::kDownloadNameNote), problem) << c.name;
        }
        EXPECT_EQ(w->Enabled(toolkit::kDownloadInstall), problem.empty()) << c.name;
    }
    // A loader's version may not take the game version's folder.
    EXPECT_EQ(VersionNameProblem("1.12.2", GameDir(), false), kNameTaken);
}

TEST_F(DownloadWindowTest, CancelStopsAStalledInstallAtOnceAndLeavesNoHalfFile) {
    version_.Serve(server_);
    // The client jar stalls half way; nothing else would keep the job running.
    server_.Script("/data/v1/objects/client.jar",
                   {{kestrel::testing::FileServer::Fault::kStall, 0, 3000}});
    const std::string before = state_.settings.Get().selected_version;
    const auto w = Open();
    ASSERT_TRUE(WaitForRows(*w, 1));
    ASSERT_TRUE(ChooseVersion(*w, "1.7.2-test"));
    ASSERT_TRUE(w->Click(toolkit::kDownloadInstall));
    while (server_.RequestsFor("/data/v1/objects/client.jar") == 0) std::this_thread::sleep_for(5ms);

    const auto clicked = std::chrono::steady_clock::now();
    ASSERT_TRUE(w->Click(toolkit::kDownloadCancel));
    EXPECT_EQ(w->Text(toolkit::kDownloadStep), kInstallCancelling);
    ASSERT_TRUE(WaitForInstallEnd(*w));
    const auto took = std::chrono::steady_clock::now() - clicked;
    EXPECT_LT(took, 1s);
    WaitForWorkers();
    EXPECT_EQ(w->Text(toolkit::kDownloadStep), kInstallCancelled);
    EXPECT_TRUE(app_.MessageBoxes().empty());
    EXPECT_EQ(state_.settings.Get().selected_version, before);
    // What was half-fetched is no file under its final name.
    EXPECT_FALSE(fs::exists(GameDir() + "/versions/1.7.2-test/1.7.2-test.jar"));
    // The choice is the player's again.
    EXPECT_TRUE(w->Enabled(toolkit::kDownloadList));
    EXPECT_TRUE(w->Enabled(toolkit::kDownloadInstall));
}

TEST_F(DownloadWindowTest, AFailedInstallIsSaidInAMessageBox) {
    // A library the version needs is missing from the server.
    version_.Serve(server_, install::SyntheticVersion::OfficialPath,
                   {"/libraries/org/example/plain/1.0/plain-1.0.jar"});
    state_.settings.Update([](SettingsRecord& r) { r.selected_version = "old"; });
    const auto w = Open();
    ASSERT_TRUE(WaitForRows(*w, 1));
    ASSERT_TRUE(ChooseVersion(*w, "1.7.2-test"));
    ASSERT_TRUE(w->Click(toolkit::kDownloadInstall));
    ASSERT_TRUE(app_.WaitForMessageBoxes(1, 30s));
    const auto boxes = app_.MessageBoxes();
    EXPECT_EQ(boxes[0].text.rfind(kInstallFailedText, 0), 0u) << boxes[0].text;
    EXPECT_NE(boxes[0].text.find("plain-1.0.jar"), std::string::npos) << boxes[0].text;
    EXPECT_EQ(boxes[0].caption, kDownloadCaption);
    EXPECT_EQ(boxes[0].icon, toolkit::MessageIcon::Error);
    ASSERT_TRUE(WaitForInstallEnd(*w));
    EXPECT_EQ(w->Text(toolkit::kDownloadStep), kInstallFailedStep);
    EXPECT_EQ(state_.settings.Get().selected_version, "old");
}

// Loader lists and installs stand in for the loaders' services.
struct FakeLoaders {
    std::mutex mutex;
    std::vector<install::LoaderRequest> requests;
    int lists = 0;
    bool fail_first_list = false;

    void Into(DownloadSources& sources) {
        sources.loader_versions = [this](install::Loader loader, const std::string& game,
                                         std::stop_token) -> Result<std::vector<install::LoaderVersion>> {
            std::lock_guard lock(mutex);
            if (++lists == 1 && fail_first_list) return Error{"连接被拒绝"};
            if (loader == install::Loader::kQuilt) return std::vector<install::LoaderVersion>{};
            return std::vector<install::LoaderVersion>{{"0.16.9", true}, {"0.17.0-beta." + game, false}};
        };
        sources.install_loader = [this](const install::LoaderRequest& request, std::stop_token,
                                        const install::InstallProgressCallback&) -> Result<std::string> {
            std::lock_guard lock(mutex);
            requests.push_back(request);
            return request.name;
        };
    }
};

TEST_F(DownloadWindowTest, ALoaderOffersItsVersionsAndInstallsTheChosenOne) {
    FakeLoaders loaders;
    loaders.fail_first_list = true;
    DownloadSources sources = FixedCatalogue();
    loaders.Into(sources);
    const auto w = Open(sources);
    ASSERT_TRUE(WaitForRows(*w, 2));
    ASSERT_TRUE(ChooseVersion(*w, "1.20.1"));
    EXPECT_FALSE(w->Enabled(toolkit::kDownloadLoaderVersion));

    // The first list fails and says so; "重试" fetches it again.
    ASSERT_TRUE(w->Choose(toolkit::kDownloadLoader, 1));  // Fabric
    ASSERT_TRUE(w->WaitUntil([&] { return w->Visible(toolkit::kDownloadLoaderRetry); }, 10s));
    EXPECT_EQ(w->Text(toolkit::kDownloadLoaderNote), std::string(kLoadersFailed) + "连接被拒绝");
    EXPECT_FALSE(w->Enabled(toolkit::kDownloadInstall));
    ASSERT_TRUE(w->Click(toolkit::kDownloadLoaderRetry));
    ASSERT_TRUE(w->WaitUntil([&] { return w->Enabled(toolkit::kDownloadInstall); }, 10s));
    EXPECT_EQ(w->Items(toolkit::kDownloadLoaderVersion),
              (std::vector<std::string>{"0.16.9", "0.17.0-beta.1.20.1 (测试版)"}));
    EXPECT_EQ(w->Text(toolkit::kDownloadLoaderVersion), "0.16.9");
    EXPECT_EQ(w->Text(toolkit::kDownloadName), "fabric-loader-0.16.9-1.20.1");
    ASSERT_TRUE(w->Choose(toolkit::kDownloadLoaderVersion, 1));
    EXPECT_EQ(w->Text(toolkit::kDownloadName), "fabric-loader-0.17.0-beta.1.20.1-1.20.1");

    // A loader without versions for the game version says so.
    ASSERT_TRUE(w->Choose(toolkit::kDownloadLoader, 2));  // Quilt
    ASSERT_TRUE(w->WaitUntil([&] { return w->Text(toolkit::kDownloadLoaderNote) == std::string(kLoadersNone) + "Quilt"; }, 10s));
    EXPECT_FALSE(w->Enabled(toolkit::kDownloadInstall));

    ASSERT_TRUE(w->Choose(toolkit::kDownloadLoader, 1));
    ASSERT_TRUE(w->WaitUntil([&] { return w->Enabled(toolkit::kDownloadInstall); }, 10s));
    ASSERT_TRUE(w->Click(toolkit::kDownloadInstall));
    ASSERT_TRUE(WaitForInstallEnd(*w));
    WaitForWorkers();
    ASSERT_EQ(loaders.requests.size(), 1u);
    EXPECT_EQ(loaders.requests[0].loader, install::Loader::kFabric);
    EXPECT_EQ(loaders.requests[0].game_version, "1.20.1");
    EXPECT_EQ(loaders.requests[0].loader_version, "0.16.9");
    EXPECT_EQ(loaders.requests[0].name, "fabric-loader-0.16.9-1.20.1");
    EXPECT_EQ(state_.settings.Get().selected_version, "fabric-loader-0.16.9-1.20.1");
    // Back to no loader: the game version's own name.
    ASSERT_TRUE(w->Choose(toolkit::kDownloadLoader, 0));
    EXPECT_EQ(w->Text(toolkit::kDownloadName), "1.20.1");
}

TEST_F(DownloadWindowTest, FabricIsListedAndInstalledOnTopOfTheGameVersion) {
    version_.Serve(server_);
    const install::SyntheticLoader fabric = install::FabricLoader();
    fabric.Serve(server_);
    const auto w = Open();
    ASSERT_TRUE(WaitForRows(*w, 1));
    ASSERT_TRUE(ChooseVersion(*w, "1.7.2-test"));
    ASSERT_TRUE(w->Choose(toolkit::kDownloadLoader, 1));
    ASSERT_TRUE(w->WaitUntil([&] { return w->Enabled(toolkit::kDownloadInstall); }, 10s));
    EXPECT_EQ(w->Items(toolkit::kDownloadLoaderVersion),
              (std::vector<std::string>{"0.16.9", "0.16.10-beta.1 (测试版)"}));
    EXPECT_EQ(w->Text(toolkit::kDownloadName), fabric.Id());

    ASSERT_TRUE(w->Click(toolkit::kDownloadInstall));
    ASSERT_TRUE(WaitForInstallEnd(*w));
    WaitForWorkers();
    EXPECT_TRUE(app_.MessageBoxes().empty()) << app_.MessageBoxes()[0].text;
    EXPECT_EQ(w->Text(toolkit::kDownloadStep), std::string(kInstallDone) + fabric.Id());
    // The game version was installed first, then the loader on top of it.
    const auto files = install::FilesUnder(GameDir());
    for (const auto& layout : {version_.LinuxLayout(), fabric.Layout(fabric.Id())}) {
        for (const auto& [path, bytes] : layout) {
            ASSERT_TRUE(files.count(path)) << path;
            EXPECT_EQ(files.at(path), bytes) << path;
        }
    }
    EXPECT_EQ(state_.settings.Get().selected_version, fabric.Id());
    EXPECT_TRUE(main_->WaitUntil([&] { return main_->Text("版本框") == fabric.Id(); }, 10s));
    const std::vector<std::string> box = main_->Items("版本框");
    EXPECT_NE(std::find(box.begin(), box.end(), "1.7.2-test"), box.end());
    EXPECT_NE(std::find(box.begin(), box.end(), fabric.Id()), box.end());
}

TEST_F(DownloadWindowTest, ClosingDuringAnInstallAsksWhetherToStopIt) {
    // An install that runs until it is stopped.
    std::atomic<bool> started{false};
    DownloadSources sources = FixedCatalogue();
    sources.install_version = [&started](const std::string&, std::stop_token stop,
                                         const install::InstallProgressCallback& progress) -> Result<std::string> {
        install::InstallProgress p;
        p.step = install::InstallStep::kFiles;
        p.files = {3, 10, 3 * 1048576, 10 * 1048576, 1048576 + 104858};
        progress(p);
        started = true;
        while (!stop.stop_requested()) std::this_thread::sleep_for(1ms);
        return Error{"已取消"};
    };
    const auto w = Open(sources);
    ASSERT_TRUE(WaitForRows(*w, 2));
    ASSERT_TRUE(ChooseVersion(*w, "1.20.1"));
    ASSERT_TRUE(w->Click(toolkit::kDownloadInstall));
    ASSERT_TRUE(w->WaitUntil([&] { return started.load() && w->Text(toolkit::kDownloadFiles) == "文件 3/10"; }, 10s));
    EXPECT_EQ(w->Text(toolkit::kDownloadBytes), "3.0/10.0 MB");
    EXPECT_EQ(w->Text(toolkit::kDownloadSpeed), "1.1 MB/s");
    EXPECT_EQ(w->Text(toolkit::kDownloadTimeLeft), "剩余 0:07");
    EXPECT_EQ(w->Value(toolkit::kDownloadProgress), 30);

    // "否": the window comes back and the install goes on.
    app_.ScriptAnswer(toolkit::MessageAnswer::No);
    ASSERT_TRUE(w->CloseByPlayer());
    ASSERT_EQ(app_.MessageBoxes().size(), 1u);
    EXPECT_EQ(app_.MessageBoxes()[0].text, std::string(kStopInstallText) + "1.20.1" + kStopInstallQuestion);
    EXPECT_EQ(app_.MessageBoxes()[0].buttons, toolkit::MessageButtons::YesNo);
    EXPECT_TRUE(w->WindowVisible());
    EXPECT_TRUE(w->Visible(toolkit::kDownloadCancel));
    EXPECT_TRUE(state_.download_window_open);

    // "是": the install stops; the window stays closed.
    app_.ScriptAnswer(toolkit::MessageAnswer::Yes);
    ASSERT_TRUE(w->CloseByPlayer());
    ASSERT_TRUE(WaitForInstallEnd(*w));
    WaitForWorkers();
    EXPECT_FALSE(w->WindowVisible());
    EXPECT_FALSE(state_.download_window_open);
    EXPECT_EQ(app_.MessageBoxes().size(), 2u);  // no failure is said for a stop asked for
    EXPECT_EQ(w->Text(toolkit::kDownloadStep), kInstallCancelled);
}

TEST_F(DownloadWindowTest, OneWindowAtATime) {
    const auto first = Open(FixedCatalogue());
    const auto again = Open(FixedCatalogue());
    EXPECT_EQ(first, again);
    ASSERT_TRUE(first->CloseByPlayer());
    const auto fresh = Open(FixedCatalogue());
    EXPECT_NE(first, fresh);
    EXPECT_EQ(app_.Window(toolkit::kDownloadWindow), fresh);
}

}  // namespace
}  // namespace kestrel::shell::testing
