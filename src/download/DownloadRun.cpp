#include "download/DownloadRun.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <map>

#include "download/FileCheck.h"
#include "net/CurlCalls.h"
#include "net/Transfer.h"

namespace kestrel::download {

namespace curl = net::curl;

namespace {

bool IsHex40(const std::string& text) {
    if (text.size() != 40) return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

bool IsHttps(const std::string& url) {
    if (url.size() < 6) return false;
    std::string scheme = url.substr(0, 6);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    return scheme == "https:";
}

std::string DurationText(std::int64_t ms) {
    if (ms % 1000 == 0) return std::to_string(ms / 1000) + " 秒";
    return std::to_string(ms) + " 毫秒";
}

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

DownloadRun::DownloadRun(const DownloadOptions& options, platform::Clock& clock, std::stop_token stop,
                         const ProgressCallback& progress)
    : options_(options), clock_(clock), stop_(std::move(stop)), meter_(clock, options.progress_interval_ms, progress) {}

DownloadRun::~DownloadRun() {
    for (Task& task : tasks_) {
        if (task.handle) {
            curl::multi_remove_handle(multi_, task.handle);
            curl::easy_cleanup(task.handle);
            task.handle = nullptr;
        }
    }
    for (CURL* handle : idle_handles_) curl::easy_cleanup(handle);
    if (multi_) curl::multi_cleanup(multi_);
}

DownloadOutcome DownloadRun::Run(const std::vector<FileRequest>& files) {
    if (Status prepared = Prepare(files); !prepared) {
        outcome_.status = prepared;
        return outcome_;
    }
    CheckDisk();
    if (!stop_.stop_requested() && !ready_.empty()) {
        if (Status made = MakeMulti(); !made) {
            outcome_.status = made;
            return outcome_;
        }
        Loop();
    }
    // A stop that came after the last file ended cancels nothing.
    const bool unfinished =
        std::any_of(tasks_.begin(), tasks_.end(), [](const Task& task) { return !task.finished; });
    if (stop_.stop_requested() && unfinished && disk_full_error_.empty()) {
        EndAll(false);
        outcome_.cancelled = true;
        outcome_.status = Error{"下载已取消"};
    } else if (!disk_full_error_.empty()) {
        outcome_.status = Error{disk_full_error_};
    } else if (!outcome_.failures.empty()) {
        const FileFailure& first = outcome_.failures.front();
        std::string text = "下载 " + first.path + " 失败:" + first.cause;
        if (outcome_.failures.size() > 1) {
            text += ";另有 " + std::to_string(outcome_.failures.size() - 1) + " 个文件未能下载";
        }
        outcome_.status = Error{text};
    }
    Report(true);
    return outcome_;
}

Status DownloadRun::Prepare(const std::vector<FileRequest>& files) {
    std::map<std::string, std::size_t> by_path;
    unique_.reserve(files.size());
    for (const FileRequest& file : files) {
        if (file.path.empty()) return Error{"下载列表中有文件没有保存位置"};
        if (file.url.empty()) return Error{"文件 " + file.path + " 没有下载地址"};
        if (!file.sha1.empty() && !IsHex40(file.sha1)) {
            return Error{"文件 " + file.path + " 的 SHA-1 无效:" + file.sha1};
        }
        const auto [known, added] = by_path.emplace(file.path, unique_.size());
        if (!added) {
            const FileRequest& first = unique_[known->second];
            const bool same_sha1 = first.sha1.size() == file.sha1.size() &&
                                   std::equal(first.sha1.begin(), first.sha1.end(), file.sha1.begin(),
                                              [](char a, char b) { return std::tolower(a) == std::tolower(b); });
            if (!same_sha1 || first.size != file.size) {
                return Error{"文件 " + file.path + " 在下载列表中出现了两次,校验值不同"};
            }
            continue;
        }
        unique_.push_back(file);
    }
    return {};
}

void DownloadRun::CheckDisk() {
    std::vector<const FileRequest*> files;
    files.reserve(unique_.size());
    for (const FileRequest& file : unique_) {
        files.push_back(&file);
        if (file.size) known_total_ += *file.size;
    }
    const std::vector<OnDisk> verdicts = CheckFilesOnDisk(files, options_.check_threads, stop_);
    // The tasks point into each other's queues, so the vector never grows
    // after this.
    tasks_.reserve(unique_.size());
    for (std::size_t i = 0; i < unique_.size(); ++i) {
        const FileRequest& file = unique_[i];
        if (verdicts[i] == OnDisk::kRight) {
            ++outcome_.files_present;
            if (file.size) bytes_done_ += *file.size;
            continue;
        }
        Task& task = tasks_.emplace_back();
        task.run = this;
        task.file = &file;
        task.primary = options_.rewriter.Rewrite(file.url);
        const std::string fallback = options_.rewriter.Official(file.fallback_url.empty() ? file.url : file.fallback_url);
        if (fallback != task.primary) task.fallback = fallback;
        task.resumable = file.size && *file.size > options_.resume_above_bytes;
    }
    for (Task& task : tasks_) ready_.push_back(&task);
    Report(false);
}

Status DownloadRun::MakeMulti() {
    multi_ = curl::multi_init();
    if (!multi_) return Error{"无法初始化下载"};
    const long parallelism = std::max(1, options_.parallelism);
    // HTTP/2 carries every transfer to a host over one connection; HTTP/1.1
    // servers get as many connections as files run at once.
    curl::multi_setopt(multi_, CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
    curl::multi_setopt(multi_, CURLMOPT_MAX_HOST_CONNECTIONS, parallelism);
    curl::multi_setopt(multi_, CURLMOPT_MAXCONNECTS, parallelism + 4);
    return {};
}

CURL* DownloadRun::TakeHandle() {
    if (!idle_handles_.empty()) {
        CURL* handle = idle_handles_.back();
        idle_handles_.pop_back();
        return handle;
    }
    CURL* handle = curl::easy_init();
    if (!handle) return nullptr;
    curl::easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl::easy_setopt(handle, CURLOPT_WRITEFUNCTION, &DownloadRun::OnWrite);
    curl::easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl::easy_setopt(handle, CURLOPT_MAXREDIRS, 20L);
    // Only web addresses, as for every request of the launcher; an error
    // status fails the transfer before any of its body is written.
    curl::easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl::easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    curl::easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_2TLS));
    // No CURLOPT_PIPEWAIT: with it, the transfers to a host that turns out
    // to speak HTTP/1.1 wait until its first transfer ends, so a stalled
    // first file holds back all the others. The first transfers to an HTTP/2
    // host open connections of their own; later ones share them.
    curl::easy_setopt(handle, CURLOPT_PROXY, "");
    curl::easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl::easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!options_.ca_file.empty()) curl::easy_setopt(handle, CURLOPT_CAINFO, options_.ca_file.c_str());
    curl::easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options_.connect_timeout_ms));
    curl::easy_setopt(handle, CURLOPT_USERAGENT, options_.user_agent.c_str());
    curl::easy_setopt(handle, CURLOPT_BUFFERSIZE, 128L * 1024L);
    return handle;
}

void DownloadRun::ReleaseHandle(Task& task) {
    if (!task.handle) return;
    curl::multi_remove_handle(multi_, task.handle);
    idle_handles_.push_back(task.handle);
    task.handle = nullptr;
    active_.erase(std::find(active_.begin(), active_.end(), &task));
}

bool DownloadRun::MakeFolderFor(const std::string& path, bool& out_of_room) {
    out_of_room = false;
    const std::string folder = ParentOf(path);
    if (folder.empty() || folders_made_.count(folder)) return true;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error && !std::filesystem::is_directory(folder)) {
        out_of_room = error.value() == ENOSPC || error.value() == EDQUOT;
        return false;
    }
    folders_made_.insert(folder);
    return true;
}

void DownloadRun::Start(Task& task) {
    bool out_of_room = false;
    if (!MakeFolderFor(task.file->path, out_of_room)) {
        if (out_of_room) return DiskFull(task);
        return Failed(task, "无法创建文件夹 " + ParentOf(task.file->path), net::FailureKind::kOther, 0);
    }
    const bool resume = task.resumable && !task.fresh_next;
    task.fresh_next = false;
    auto opened = platform::PartialFile::Open(task.file->path, resume, &out_of_room);
    if (!opened) {
        if (out_of_room) return DiskFull(task);
        return Failed(task, "无法写入文件(" + opened.error() + ")", net::FailureKind::kOther, 0);
    }
    task.partial.emplace(std::move(opened).value());
    task.range_from = 0;
    if (resume && task.partial->size() > 0) {
        const std::uint64_t expected = *task.file->size;
        if (task.partial->size() == expected) {
            // An earlier run got every byte but stopped before the check.
            auto committed = task.partial->Commit(task.file->sha1, task.file->size);
            task.partial.reset();
            if (committed.verdict == platform::PartialFile::Verdict::kCommitted) return Succeeded(task);
            auto fresh = platform::PartialFile::Open(task.file->path, false, &out_of_room);
            if (!fresh) {
                if (out_of_room) return DiskFull(task);
                return Failed(task, "无法写入文件(" + fresh.error() + ")", net::FailureKind::kOther, 0);
            }
            task.partial.emplace(std::move(fresh).value());
        } else if (task.partial->size() > expected) {
            if (!task.partial->Restart()) {
                return Failed(task, "无法写入文件 " + task.partial->partial_path(), net::FailureKind::kOther, 0);
            }
        } else {
            task.range_from = task.partial->size();
        }
    }

    CURL* handle = TakeHandle();
    if (!handle) return Failed(task, "无法初始化下载", net::FailureKind::kOther, 0);
    const std::string& url = task.on_fallback ? task.fallback : task.primary;
    curl::easy_setopt(handle, CURLOPT_URL, url.c_str());
    // A plain http address may be redirected to https, never the reverse.
    curl::easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, IsHttps(url) ? "https" : "http,https");
    curl::easy_setopt(handle, CURLOPT_WRITEDATA, &task);
    curl::easy_setopt(handle, CURLOPT_PRIVATE, &task);
    // The Range is sent as a header of our own rather than as libcurl's
    // resume, which fails outright when a server ignores it; here such a
    // server's whole file is taken instead.
    task.range = task.range_from > 0 ? std::to_string(task.range_from) + "-" : std::string();
    curl::easy_setopt(handle, CURLOPT_RANGE, task.range.empty() ? nullptr : task.range.c_str());
    task.saw_status = false;
    task.problem = Problem::kNone;
    task.problem_detail.clear();
    task.last_byte_ms = clock_.NowMs();
    if (curl::multi_add_handle(multi_, handle) != CURLM_OK) {
        idle_handles_.push_back(handle);
        return Failed(task, "无法初始化下载", net::FailureKind::kOther, 0);
    }
    task.handle = handle;
    active_.push_back(&task);
    ++outcome_.requests;
    if (!task.on_fallback) ++task.tries;
}

std::size_t DownloadRun::OnWrite(char* data, std::size_t size, std::size_t count, void* self) {
    Task& task = *static_cast<Task*>(self);
    return task.run->Write(task, data, size * count);
}

// A count other than bytes makes libcurl end the transfer; the problem says
// why.
std::size_t DownloadRun::Write(Task& task, const char* data, std::size_t bytes) {
    if (!task.saw_status) {
        task.saw_status = true;
        long status = 0;
        curl::easy_getinfo(task.handle, CURLINFO_RESPONSE_CODE, &status);
        if (task.range_from > 0 && status == 200) {
            // The server ignored the Range and sends the whole file.
            task.range_from = 0;
            if (!task.partial->Restart()) {
                task.problem = Problem::kWrite;
                task.problem_detail = task.partial->partial_path();
                return 0;
            }
        } else if (task.range_from > 0 && status != 206) {
            task.problem = Problem::kUnexpectedStatus;
            task.problem_detail = std::to_string(status);
            return 0;
        }
    }
    if (task.file->size && task.partial->size() + bytes > *task.file->size) {
        task.problem = Problem::kTooLong;
        return 0;
    }
    if (Status written = task.partial->Append(std::string_view(data, bytes)); !written) {
        task.problem = task.partial->disk_full() ? Problem::kDiskFull : Problem::kWrite;
        task.problem_detail = written.error();
        return 0;
    }
    received_ += bytes;
    task.last_byte_ms = clock_.NowMs();
    return bytes;
}

void DownloadRun::OnDone(Task& task, CURLcode code) {
    long status = 0;
    curl::easy_getinfo(task.handle, CURLINFO_RESPONSE_CODE, &status);
    ReleaseHandle(task);
    switch (task.problem) {
        case Problem::kDiskFull:
            return DiskFull(task);
        case Problem::kWrite:
            return Failed(task, "无法写入文件(" + task.problem_detail + ")", net::FailureKind::kOther, 0);
        case Problem::kTooLong:
            task.partial->Remove();
            task.partial.reset();
            task.fresh_next = true;
            return TryAgain(task, "文件比应有的 " + std::to_string(*task.file->size) + " 字节大",
                            net::FailureKind::kOther, status, true);
        case Problem::kUnexpectedStatus:
            task.partial.reset();
            task.fresh_next = true;
            return TryAgain(task, "服务器对续传请求返回 HTTP " + task.problem_detail, net::FailureKind::kHttpStatus,
                            status, true);
        case Problem::kNone:
            break;
    }
    if (code == CURLE_OK) {
        if (task.range_from > 0 && !task.saw_status && status != 206) {
            // An empty answer to a Range request is no proof of anything.
            task.partial.reset();
            task.fresh_next = true;
            return TryAgain(task, "服务器对续传请求返回 HTTP " + std::to_string(status), net::FailureKind::kHttpStatus,
                            status, true);
        }
        auto committed = task.partial->Commit(task.file->sha1, task.file->size);
        const bool out_of_room = task.partial->disk_full();
        task.partial.reset();
        using Verdict = platform::PartialFile::Verdict;
        switch (committed.verdict) {
            case Verdict::kCommitted:
                if (!task.file->size) unknown_done_ += committed.size;
                return Succeeded(task);
            case Verdict::kWrongSize:
                task.fresh_next = true;
                return TryAgain(task,
                                "文件大小不符(应为 " + std::to_string(*task.file->size) + " 字节,收到 " +
                                    std::to_string(committed.size) + " 字节)",
                                net::FailureKind::kOther, status, true);
            case Verdict::kWrongHash:
                task.fresh_next = true;
                return TryAgain(task, "SHA-1 校验不符(应为 " + task.file->sha1 + ",收到的是 " + committed.sha1_hex + ")",
                                net::FailureKind::kOther, status, true);
            case Verdict::kFailed:
                if (out_of_room) return DiskFull(task);
                return Failed(task, "无法写入文件(" + committed.error + ")", net::FailureKind::kOther, 0);
        }
    }
    const net::RequestFailure failure = net::ClassifyCurlResult(code, status);
    if (status == 416 && task.range_from > 0) {
        // The kept bytes do not fit the server's file: start over, once.
        task.partial->Remove();
        task.partial.reset();
        task.resumable = false;
        if (!task.on_fallback) --task.tries;
        ready_.push_front(&task);
        return;
    }
    if (task.resumable) {
        task.partial.reset();  // the bytes stay for the next try
    } else {
        task.partial->Remove();
        task.partial.reset();
    }
    TryAgain(task, net::FailureText(failure), failure.kind, status, net::IsRetryable(failure));
}

void DownloadRun::OnStalled(Task& task) {
    ReleaseHandle(task);
    if (task.resumable) {
        task.partial.reset();
    } else {
        task.partial->Remove();
        task.partial.reset();
    }
    TryAgain(task, "超过 " + DurationText(options_.stall_ms) + "没有收到数据", net::FailureKind::kTimeout, 0, true);
}

void DownloadRun::TryAgain(Task& task, std::string cause, net::FailureKind kind, long status, bool retryable) {
    if (!task.on_fallback) {
        if (retryable && task.tries < std::max(1, options_.tries)) {
            const int shift = std::min(task.tries - 1, 20);
            task.not_before = clock_.NowMs() + (options_.first_pause_ms << shift);
            waiting_.push_back(&task);
            return;
        }
        if (!task.fallback.empty()) {
            task.on_fallback = true;
            ready_.push_back(&task);
            return;
        }
    }
    Failed(task, std::move(cause), kind, status);
}

void DownloadRun::Succeeded(Task& task) {
    task.finished = true;
    ++outcome_.files_fetched;
    if (task.file->size) {
        bytes_done_ += *task.file->size;
        outcome_.bytes_fetched += *task.file->size;
    }
}

void DownloadRun::Failed(Task& task, std::string cause, net::FailureKind kind, long status) {
    task.finished = true;
    if (task.partial) {
        // A large file keeps its bytes for the next run; others leave nothing.
        if (task.resumable) {
            task.partial.reset();
        } else {
            task.partial->Remove();
            task.partial.reset();
        }
    }
    outcome_.failures.push_back(
        FileFailure{task.file->path, task.on_fallback ? task.fallback : task.primary, std::move(cause), kind, status});
}

void DownloadRun::DiskFull(Task& task) {
    disk_full_error_ = "磁盘空间不足,无法写入 " + task.file->path + ",请清理磁盘后重试";
    if (task.partial) task.partial->Remove();
    task.partial.reset();
    ::unlink(platform::PartialFile::PathFor(task.file->path).c_str());
    task.finished = true;
    outcome_.failures.push_back(FileFailure{task.file->path, task.primary, "磁盘空间不足", net::FailureKind::kOther, 0});
    EndAll(true);
}

void DownloadRun::EndAll(bool remove) {
    for (Task* task : std::vector<Task*>(active_)) {
        ReleaseHandle(*task);
        if (task->partial && remove) task->partial->Remove();
        task->partial.reset();
    }
    if (!remove) return;
    // Partial files kept from earlier tries or runs go as well: a full disk
    // must not be left fuller.
    for (Task& task : tasks_) {
        if (!task.finished) ::unlink(platform::PartialFile::PathFor(task.file->path).c_str());
    }
    ready_.clear();
    waiting_.clear();
}

void DownloadRun::Loop() {
    // A stop request wakes the wait in curl_multi_poll at once. Destroyed
    // before the multi handle.
    std::stop_callback wake(stop_, [this] { curl::multi_wakeup(multi_); });
    for (;;) {
        if (stop_.stop_requested() || !disk_full_error_.empty()) return;
        std::int64_t now = clock_.NowMs();
        // Files whose pause is over join the queue in the order they became due.
        std::stable_sort(waiting_.begin(), waiting_.end(),
                         [](const Task* a, const Task* b) { return a->not_before < b->not_before; });
        while (!waiting_.empty() && waiting_.front()->not_before <= now) {
            ready_.push_back(waiting_.front());
            waiting_.erase(waiting_.begin());
        }
        while (static_cast<int>(active_.size()) < std::max(1, options_.parallelism) && !ready_.empty() &&
               disk_full_error_.empty()) {
            Task* task = ready_.front();
            ready_.pop_front();
            Start(*task);
        }
        if (!disk_full_error_.empty()) return;
        if (active_.empty()) {
            if (ready_.empty() && waiting_.empty()) return;
            if (ready_.empty()) {
                const auto first = std::min_element(waiting_.begin(), waiting_.end(), [](const Task* a, const Task* b) {
                    return a->not_before < b->not_before;
                });
                clock_.Sleep((*first)->not_before - now, stop_);
            }
            continue;
        }
        int running = 0;
        if (curl::multi_perform(multi_, &running) != CURLM_OK) {
            for (Task* task : std::vector<Task*>(active_)) {
                ReleaseHandle(*task);
                Failed(*task, "下载出错", net::FailureKind::kOther, 0);
            }
            continue;
        }
        int left = 0;
        const std::size_t active_before = active_.size();
        while (CURLMsg* message = curl::multi_info_read(multi_, &left)) {
            if (message->msg != CURLMSG_DONE) continue;
            Task* task = nullptr;
            curl::easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, reinterpret_cast<char**>(&task));
            if (task && task->handle == message->easy_handle) OnDone(*task, message->data.result);
            if (!disk_full_error_.empty()) return;
        }
        now = clock_.NowMs();
        for (Task* task : std::vector<Task*>(active_)) {
            if (now - task->last_byte_ms >= options_.stall_ms) OnStalled(*task);
        }
        Report(false);
        // Free places are filled at once, not after the next wait.
        if (active_.empty() || (active_.size() < active_before && !ready_.empty())) continue;
        std::int64_t timeout = std::max<std::int64_t>(1, options_.progress_interval_ms);
        timeout = std::min(timeout, std::max<std::int64_t>(1, options_.stall_ms));
        if (!waiting_.empty()) {
            const auto first = std::min_element(waiting_.begin(), waiting_.end(), [](const Task* a, const Task* b) {
                return a->not_before < b->not_before;
            });
            timeout = std::clamp<std::int64_t>((*first)->not_before - now, 0, timeout);
        }
        curl::multi_poll(multi_, nullptr, 0, static_cast<int>(timeout), nullptr);
    }
}

DownloadProgress DownloadRun::Snapshot() const {
    DownloadProgress progress;
    progress.files_total = static_cast<int>(unique_.size());
    progress.files_done = outcome_.files_present + outcome_.files_fetched;
    progress.bytes_done = bytes_done_ + unknown_done_;
    progress.bytes_total = known_total_ + unknown_done_;
    for (const Task* task : active_) {
        if (!task->partial) continue;
        progress.bytes_done += task->partial->size();
        if (!task->file->size) progress.bytes_total += task->partial->size();
    }
    return progress;
}

void DownloadRun::Report(bool final) {
    if (final) {
        meter_.Final(Snapshot(), received_);
    } else {
        meter_.Offer(Snapshot(), received_);
    }
}

}  // namespace kestrel::download
