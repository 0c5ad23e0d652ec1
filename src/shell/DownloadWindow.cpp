#include "shell/DownloadWindow.h"

#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "install/NamedVersion.h"
#include "launch/VersionManifests.h"
#include "shell/CatalogueRows.h"
#include "shell/InstallProgressText.h"
#include "shell/OptionsSaver.h"
#include "shell/VersionList.h"
#include "shell/VersionNameCheck.h"
#include "toolkit/Assets.h"
#include "toolkit/Windows.h"

namespace kestrel::shell {
namespace {

using toolkit::Event;
using toolkit::EventArgs;

constexpr const char* kReleaseSwitch = "下载_筛选_正式版";
constexpr const char* kSnapshotSwitch = "下载_筛选_快照版";
constexpr const char* kOldSwitch = "下载_筛选_远古版";
constexpr const char* kNoLoader = "无";

// The controls an install keeps the player's hands off while it runs.
constexpr const char* kChoiceControls[] = {
    kReleaseSwitch,           kSnapshotSwitch,     kOldSwitch,     toolkit::kDownloadSearchBox,
    toolkit::kDownloadList,   toolkit::kDownloadLoader, toolkit::kDownloadLoaderVersion, toolkit::kDownloadName,
    toolkit::kDownloadRetry,  toolkit::kDownloadLoaderRetry,
};

std::set<std::string> InstalledIn(const LauncherContext& ctx, const std::string& game_dir) {
    const std::vector<std::string> listed = launch::VersionManifests(game_dir, ctx.host).Installed();
    return {listed.begin(), listed.end()};
}

std::string LoaderCaption(install::Loader loader) {
    switch (loader) {
        case install::Loader::kFabric: return "Fabric";
        case install::Loader::kQuilt: return "Quilt";
        case install::Loader::kForge: return "Forge";
        case install::Loader::kNeoForge: return "NeoForge";
    }
    return "";
}

// One open download window: its choices, its lists and its install. The
// window's handlers hold the flow; the flow refers to the window without
// owning it, and its workers keep the window alive while they run.
class DownloadFlow : public std::enable_shared_from_this<DownloadFlow> {
public:
    DownloadFlow(LauncherContext& ctx, DownloadSources sources, toolkit::Surface& surface,
                 std::weak_ptr<toolkit::Surface> window)
        : ctx_(ctx), sources_(std::move(sources)), s_(surface), window_(std::move(window)) {}

    // Registers a handler that runs in the flow's turn (see turn_).
    // The handlers keep the flow alive, so the flow outlives this wrapper.
    void On(const std::string& control, Event event, std::function<void(const EventArgs&)> handler) {
        s_.On(control, event, [this, handler = std::move(handler)](const EventArgs& args) {
            const std::lock_guard turn(turn_);
            handler(args);
        });
    }

    void Wire() {
        const std::shared_ptr<DownloadFlow> self = shared_from_this();
        On(toolkit::kDownloadWindow, Event::WindowCreated, [self](const EventArgs&) { self->Created(); });
        On(toolkit::kDownloadWindow, Event::WindowClosed, [self](const EventArgs&) { self->Closed(); });
        On(kReleaseSwitch, Event::Click, [self](const EventArgs&) {
            self->Toggle(kReleaseSwitch, &CatalogueFilter::release);
        });
        On(kSnapshotSwitch, Event::Click, [self](const EventArgs&) {
            self->Toggle(kSnapshotSwitch, &CatalogueFilter::snapshot);
        });
        On(kOldSwitch, Event::Click, [self](const EventArgs&) { self->Toggle(kOldSwitch, &CatalogueFilter::old); });
        On(toolkit::kDownloadSearchBox, Event::ContentChanged, [self](const EventArgs& a) {
            {
                std::lock_guard lock(self->mu_);
                self->filter_.search = a.text;
            }
            self->ShowRows();
        });
        On(toolkit::kDownloadList, Event::ItemSelected, [self](const EventArgs& a) { self->Choose(a.index); });
        On(toolkit::kDownloadRetry, Event::Click, [self](const EventArgs&) { self->LoadCatalogue(); });
        On(toolkit::kDownloadLoader, Event::ItemSelected, [self](const EventArgs& a) { self->ChooseLoader(a.text); });
        On(toolkit::kDownloadLoaderVersion, Event::ItemSelected, [self](const EventArgs& a) {
            {
                std::lock_guard lock(self->mu_);
                self->loader_index_ = a.index;
            }
            self->UpdateName();
        });
        On(toolkit::kDownloadLoaderRetry, Event::Click, [self](const EventArgs&) { self->LoadLoaderVersions(); });
        On(toolkit::kDownloadName, Event::ContentChanged, [self](const EventArgs& a) {
            {
                std::lock_guard lock(self->mu_);
                self->name_ = a.text;
                // An emptied box takes the offered name again at the next choice.
                self->name_edited_ = !a.text.empty();
            }
            self->CheckName();
        });
        On(toolkit::kDownloadInstall, Event::Click, [self](const EventArgs&) { self->StartInstall(); });
        On(toolkit::kDownloadCancel, Event::Click, [self](const EventArgs&) { self->Cancel(); });
    }

private:
    // --- the catalogue ---

    void Created() {
        s_.SetChecked(kReleaseSwitch, true);
        s_.SetEnabled(toolkit::kDownloadLoaderVersion, false);
        s_.SetEnabled(toolkit::kDownloadInstall, false);
        LoadCatalogue();
    }

    void LoadCatalogue() {
        int round = 0;
        {
            std::lock_guard lock(mu_);
            round = ++catalogue_round_;
            catalogue_.reset();
            shown_.clear();
        }
        s_.ClearItems(toolkit::kDownloadList);
        s_.SetText(toolkit::kDownloadListNote, kCatalogueLoading);
        s_.Show(toolkit::kDownloadListNote);
        s_.Hide(toolkit::kDownloadRetry);
        StartWorker([round](DownloadFlow& self, std::stop_token stop) {
            Result<install::VersionCatalogue> catalogue =
                self.sources_.catalogue ? self.sources_.catalogue(stop) : Error{"no catalogue"};
            std::set<std::string> installed = InstalledIn(self.ctx_, self.ctx_.state.settings.Get().current_game_dir);
            if (stop.stop_requested()) return;
            self.OnUiThread([round, catalogue = std::move(catalogue), installed = std::move(installed)](
                                DownloadFlow& flow) mutable {
                flow.CatalogueArrived(round, std::move(catalogue), std::move(installed));
            });
        });
    }

    void CatalogueArrived(int round, Result<install::VersionCatalogue> catalogue, std::set<std::string> installed) {
        {
            std::lock_guard lock(mu_);
            if (round != catalogue_round_) return;
            if (catalogue) catalogue_ = std::move(catalogue).value();
            installed_ = std::move(installed);
        }
        if (!catalogue) {
            s_.SetText(toolkit::kDownloadListNote, kCatalogueFailed + catalogue.error());
            s_.Show(toolkit::kDownloadRetry);
            return;
        }
        ShowRows();
    }

    void Toggle(const char* name, bool CatalogueFilter::*member) {
        bool on = false;
        {
            std::lock_guard lock(mu_);
            filter_.*member = !(filter_.*member);
            on = filter_.*member;
        }
        // The flag decides: a backend may or may not have toggled the switch
        // before the click arrives.
        s_.SetChecked(name, on);
        ShowRows();
    }

    // The rows the filter lets through, with the chosen version's row
    // chosen again when it is among them.
    void ShowRows() {
        std::vector<std::string> rows;
        std::string chosen_row;
        bool loaded = false;
        {
            std::lock_guard lock(mu_);
            if (!catalogue_) return;
            loaded = true;
            shown_.clear();
            for (const install::CatalogueEntry* entry : FilteredVersions(*catalogue_, filter_)) {
                shown_.push_back(entry->id);
                rows.push_back(RowText(*entry, installed_));
                if (chosen_ && entry->id == chosen_->id) chosen_row = rows.back();
            }
        }
        if (loaded && rows.empty()) {
            s_.SetText(toolkit::kDownloadListNote, kCatalogueNoMatch);
            s_.Show(toolkit::kDownloadListNote);
        } else {
            s_.Hide(toolkit::kDownloadListNote);
        }
        s_.Hide(toolkit::kDownloadRetry);
        s_.SetItems(toolkit::kDownloadList, rows);
        s_.SetText(toolkit::kDownloadList, chosen_row);
    }

    // --- the choice ---

    void Choose(int index) {
        install::CatalogueEntry entry;
        {
            std::lock_guard lock(mu_);
            if (installing_ || !catalogue_ || index < 0 || index >= static_cast<int>(shown_.size())) return;
            const install::CatalogueEntry* found = catalogue_->Find(shown_[static_cast<std::size_t>(index)]);
            if (!found) return;
            entry = *found;
            chosen_ = entry;
        }
        s_.SetText(toolkit::kDownloadChosen, entry.id);
        const std::string& time = entry.release_time.empty() ? entry.time : entry.release_time;
        s_.SetText(toolkit::kDownloadChosenKind, TypeText(entry.type) + "  " + time.substr(0, 10));
        LoadLoaderVersions();
    }

    void ChooseLoader(const std::string& text) {
        std::optional<install::Loader> loader;
        install::Loader parsed = install::Loader::kFabric;
        if (text != kNoLoader) {
            if (!install::ParseLoader(text, parsed)) return;
            loader = parsed;
        }
        {
            std::lock_guard lock(mu_);
            loader_ = loader;
        }
        LoadLoaderVersions();
    }

    void LoadLoaderVersions() {
        std::optional<install::Loader> loader;
        std::string game;
        int round = 0;
        {
            std::lock_guard lock(mu_);
            round = ++loader_round_;
            loader_versions_.clear();
            loader_index_ = -1;
            loader = loader_;
            if (chosen_) game = chosen_->id;
        }
        s_.ClearItems(toolkit::kDownloadLoaderVersion);
        s_.SetEnabled(toolkit::kDownloadLoaderVersion, false);
        s_.Hide(toolkit::kDownloadLoaderRetry);
        if (!loader || game.empty()) {
            s_.Hide(toolkit::kDownloadLoaderNote);
            UpdateName();
            return;
        }
        s_.SetText(toolkit::kDownloadLoaderNote, kLoadersLoading);
        s_.Show(toolkit::kDownloadLoaderNote);
        UpdateName();
        StartWorker([round, loader = *loader, game](DownloadFlow& self, std::stop_token stop) {
            Result<std::vector<install::LoaderVersion>> versions =
                self.sources_.loader_versions ? self.sources_.loader_versions(loader, game, stop)
                                              : Error{"no loader list"};
            if (stop.stop_requested()) return;
            self.OnUiThread([round, loader, versions = std::move(versions)](DownloadFlow& flow) mutable {
                flow.LoaderVersionsArrived(round, loader, std::move(versions));
            });
        });
    }

    void LoaderVersionsArrived(int round, install::Loader loader, Result<std::vector<install::LoaderVersion>> versions) {
        std::vector<std::string> items;
        {
            std::lock_guard lock(mu_);
            if (round != loader_round_) return;
            if (versions) {
                loader_versions_ = versions.value();
                loader_index_ = loader_versions_.empty() ? -1 : 0;
                for (const install::LoaderVersion& v : loader_versions_) {
                    items.push_back(v.version + (v.stable ? "" : kUnstableMark));
                }
            }
        }
        if (!versions) {
            s_.SetText(toolkit::kDownloadLoaderNote, kLoadersFailed + versions.error());
            s_.Show(toolkit::kDownloadLoaderRetry);
        } else if (items.empty()) {
            s_.SetText(toolkit::kDownloadLoaderNote, kLoadersNone + LoaderCaption(loader));
        } else {
            s_.Hide(toolkit::kDownloadLoaderNote);
            s_.SetItems(toolkit::kDownloadLoaderVersion, items);
            s_.SetCurrentIndex(toolkit::kDownloadLoaderVersion, 0);
            s_.SetEnabled(toolkit::kDownloadLoaderVersion, true);
        }
        UpdateName();
    }

    // The offered name follows the choice until the player types one.
    void UpdateName() {
        std::optional<std::string> offered;
        {
            std::lock_guard lock(mu_);
            if (!name_edited_ && chosen_) {
                const bool have_version =
                    loader_index_ >= 0 && loader_index_ < static_cast<int>(loader_versions_.size());
                name_ = !loader_ || have_version
                            ? DefaultVersionName(chosen_->id, loader_,
                                                 have_version ? loader_versions_[loader_index_].version : "")
                            : std::string();
                offered = name_;
            }
        }
        if (offered) s_.SetText(toolkit::kDownloadName, *offered);
        CheckName();
    }

    // What an install would do now; nothing when the choice is not complete
    // or the name cannot be used (the reason is then shown).
    struct Plan {
        install::CatalogueEntry game;
        std::optional<install::Loader> loader;
        std::string loader_version;
        std::string name;
    };

    std::optional<Plan> CurrentPlan(std::string& problem) const {
        std::lock_guard lock(mu_);
        problem.clear();
        if (!chosen_ || installing_) return std::nullopt;
        Plan plan;
        plan.game = *chosen_;
        plan.loader = loader_;
        plan.name = name_;
        if (loader_) {
            if (loader_index_ < 0 || loader_index_ >= static_cast<int>(loader_versions_.size())) return std::nullopt;
            plan.loader_version = loader_versions_[static_cast<std::size_t>(loader_index_)].version;
        }
        const bool reinstall = !loader_ && name_ == chosen_->id;
        problem = VersionNameProblem(name_, ctx_.state.settings.Get().current_game_dir, reinstall);
        if (!problem.empty()) return std::nullopt;
        return plan;
    }

    void CheckName() {
        std::string problem;
        const bool ready = CurrentPlan(problem).has_value();
        if (problem.empty()) {
            s_.Hide(toolkit::kDownloadNameNote);
        } else {
            s_.SetText(toolkit::kDownloadNameNote, problem);
            s_.Show(toolkit::kDownloadNameNote);
        }
        s_.SetEnabled(toolkit::kDownloadInstall, ready);
    }

    // --- the install ---

    void StartInstall() {
        std::string problem;
        const std::optional<Plan> plan = CurrentPlan(problem);
        if (!plan) return;
        std::stop_source cancel;
        {
            std::lock_guard lock(mu_);
            installing_ = true;
            installing_name_ = plan->name;
            cancel_ = cancel;
        }
        ShowInstallRunning(true);
        s_.SetText(toolkit::kDownloadStep, kInstallPreparing);
        for (const char* label : {toolkit::kDownloadFiles, toolkit::kDownloadBytes, toolkit::kDownloadSpeed,
                                  toolkit::kDownloadTimeLeft}) {
            s_.SetText(label, "");
        }
        s_.SetValue(toolkit::kDownloadProgress, 0);
        StartWorker([plan = *plan, cancel](DownloadFlow& self, std::stop_token worker_stop) {
            // The launcher's end stops the install as "取消" does.
            const std::stop_callback forward(worker_stop, [&cancel] { cancel.request_stop(); });
            Result<std::string> installed = self.RunInstall(plan, cancel.get_token());
            const std::string game_dir = self.ctx_.state.settings.Get().current_game_dir;
            if (installed) {
                self.ctx_.state.settings.Update([&](SettingsRecord& record) {
                    record.selected_version = installed.value();
                    SaveOptionsLater(self.ctx_, record);
                });
                RefreshVersionList(self.ctx_);
            }
            std::set<std::string> now_installed = InstalledIn(self.ctx_, game_dir);
            const bool cancelled = cancel.stop_requested();
            self.OnUiThread([installed = std::move(installed), now_installed = std::move(now_installed),
                             cancelled](DownloadFlow& flow) mutable {
                flow.InstallEnded(std::move(installed), std::move(now_installed), cancelled);
            });
        });
    }

    Result<std::string> RunInstall(const Plan& plan, std::stop_token stop) {
        const install::InstallProgressCallback progress = [this](const install::InstallProgress& p) {
            ShowProgress(p);
        };
        if (plan.loader) {
            if (!sources_.install_loader) return Error{"no loader install"};
            install::LoaderRequest request;
            request.loader = *plan.loader;
            request.game_version = plan.game.id;
            request.loader_version = plan.loader_version;
            request.name = plan.name;
            return sources_.install_loader(request, stop, progress);
        }
        if (!sources_.install_version) return Error{"no install"};
        Result<std::string> installed = sources_.install_version(plan.game.id, stop, progress);
        if (!installed || plan.name == plan.game.id) return installed;
        const Status named = install::StoreNamedVersion(ctx_.state.settings.Get().current_game_dir, plan.name,
                                                        installed.value(), plan.game.type);
        if (!named) return Error{named.error()};
        return plan.name;
    }

    // On the install's worker: each label is written when its text changes.
    void ShowProgress(const install::InstallProgress& progress) {
        const InstallProgressTexts texts = ProgressTexts(progress);
        const auto show = [this](const char* name, const std::string& text, std::string& last) {
            if (text == last) return;
            last = text;
            s_.SetText(name, text);
        };
        show(toolkit::kDownloadStep, texts.step, shown_progress_.step);
        show(toolkit::kDownloadFiles, texts.files, shown_progress_.files);
        show(toolkit::kDownloadBytes, texts.bytes, shown_progress_.bytes);
        show(toolkit::kDownloadSpeed, texts.speed, shown_progress_.speed);
        show(toolkit::kDownloadTimeLeft, texts.time_left, shown_progress_.time_left);
        if (texts.bar != shown_progress_.bar) s_.SetValue(toolkit::kDownloadProgress, texts.bar);
        shown_progress_.bar = texts.bar;
    }

    void InstallEnded(Result<std::string> installed, std::set<std::string> now_installed, bool cancelled) {
        {
            std::lock_guard lock(mu_);
            installing_ = false;
            installed_ = std::move(now_installed);
        }
        shown_progress_ = {};
        ShowInstallRunning(false);
        if (installed) {
            s_.SetText(toolkit::kDownloadStep, kInstallDone + installed.value());
            s_.SetValue(toolkit::kDownloadProgress, 100);
        } else if (cancelled) {
            s_.SetText(toolkit::kDownloadStep, kInstallCancelled);
        } else {
            s_.SetText(toolkit::kDownloadStep, kInstallFailedStep);
        }
        ShowRows();
        CheckName();
        if (!installed && !cancelled) {
            ctx_.app.ShowMessageBox(kInstallFailedText + installed.error(), kDownloadCaption,
                                    toolkit::MessageIcon::Error);
        }
    }

    void ShowInstallRunning(bool running) {
        for (const char* name : kChoiceControls) s_.SetEnabled(name, !running);
        if (running) {
            s_.Hide(toolkit::kDownloadInstall);
            s_.SetEnabled(toolkit::kDownloadCancel, true);
            s_.Show(toolkit::kDownloadCancel);
            s_.Show(toolkit::kDownloadProgress);
        } else {
            s_.Hide(toolkit::kDownloadCancel);
            s_.Show(toolkit::kDownloadInstall);
            bool versions = false;
            {
                std::lock_guard lock(mu_);
                versions = !loader_versions_.empty();
            }
            s_.SetEnabled(toolkit::kDownloadLoaderVersion, versions);
        }
    }

    void Cancel() {
        {
            std::lock_guard lock(mu_);
            if (!installing_) return;
            cancel_.request_stop();
        }
        s_.SetText(toolkit::kDownloadStep, kInstallCancelling);
        s_.SetEnabled(toolkit::kDownloadCancel, false);
    }

    void Closed() {
        std::string name;
        {
            std::lock_guard lock(mu_);
            if (!installing_) {
                ctx_.state.download_window_open = false;
                return;
            }
            name = installing_name_;
        }
        const toolkit::MessageAnswer answer =
            ctx_.app.ShowMessageBox(kStopInstallText + name + kStopInstallQuestion, kDownloadCaption,
                                    toolkit::MessageIcon::Warning, toolkit::MessageButtons::YesNo);
        if (answer == toolkit::MessageAnswer::Yes) {
            Cancel();
            ctx_.state.download_window_open = false;
            return;
        }
        // The install goes on in the window the player comes back to.
        s_.ShowWindow();
    }

    // --- threads ---

    // Runs job on a worker, with the flow and the window alive until it ends.
    template <typename Job>
    void StartWorker(Job job) {
        std::shared_ptr<toolkit::Surface> keep = window_.lock();
        if (!keep) return;
        ctx_.workers.Start([self = shared_from_this(), keep, job = std::move(job)](std::stop_token stop) mutable {
            job(*self, stop);
        });
    }

    // Hands a result to the user-interface thread, where the list and the
    // choice change.
    template <typename Fn>
    void OnUiThread(Fn fn) {
        std::shared_ptr<toolkit::Surface> keep = window_.lock();
        auto shared_fn = std::make_shared<Fn>(std::move(fn));
        ctx_.app.Post([self = shared_from_this(), keep, shared_fn] {
            const std::lock_guard turn(self->turn_);
            (*shared_fn)(*self);
        });
    }

    LauncherContext& ctx_;
    const DownloadSources sources_;
    toolkit::Surface& s_;
    const std::weak_ptr<toolkit::Surface> window_;

    // Handlers and the results handed back from workers run one at a time,
    // each to its end, as they do on a user-interface thread. A backend whose
    // Post runs the function at once on the worker (the in-memory one of the
    // tests) would otherwise let a worker's older result overwrite a newer
    // one: an "安装" switched on by one turn switched off again by another
    // that had read the choice before it. Recursive, because a handler's
    // own changes may fire further handlers on the same thread.
    std::recursive_mutex turn_;
    mutable std::mutex mu_;
    std::optional<install::VersionCatalogue> catalogue_;
    std::set<std::string> installed_;
    CatalogueFilter filter_;
    std::vector<std::string> shown_;  // the ids of the list's rows, in order
    std::optional<install::CatalogueEntry> chosen_;
    std::optional<install::Loader> loader_;
    std::vector<install::LoaderVersion> loader_versions_;
    int loader_index_ = -1;
    std::string name_;
    bool name_edited_ = false;
    int catalogue_round_ = 0;
    int loader_round_ = 0;
    bool installing_ = false;
    std::string installing_name_;
    std::stop_source cancel_;

    // The progress texts last written; the install's worker alone uses them
    // while it runs, the user-interface thread after it has ended.
    struct Shown {
        std::string step, files, bytes, speed, time_left;
        int bar = -1;
    } shown_progress_;
};

}  // namespace

void OpenDownloadWindow(LauncherContext& ctx) { OpenDownloadWindow(ctx, DownloadSources::ForLauncher(ctx)); }

std::shared_ptr<toolkit::Surface> OpenDownloadWindow(LauncherContext& ctx, const DownloadSources& sources) {
    if (ctx.state.download_window_open) {
        if (std::shared_ptr<toolkit::Surface> open = ctx.state.download_window.Get()) {
            open->ShowWindow();
            return open;
        }
    }
    std::shared_ptr<toolkit::Surface> surface =
        ctx.app.CreateSurface(toolkit::DownloadWindowDef(), ctx.main_window.get());
    auto flow = std::make_shared<DownloadFlow>(ctx, sources, *surface, surface);
    surface->SetPicture("下载_背景", std::string(toolkit::Asset("background.jpg")));
    flow->Wire();
    // The previous window (closed by now) goes when this one takes its place.
    ctx.state.download_window.Set(surface);
    ctx.state.download_window_open = true;
    surface->ShowWindow();
    return surface;
}

}  // namespace kestrel::shell
