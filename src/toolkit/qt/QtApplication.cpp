#include "toolkit/qt/QtApplication.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QTranslator>
#include <QUrl>
#include <atomic>
#include <functional>
#include <future>

#include "toolkit/qt/Controls.h"
#include "toolkit/qt/QtSurface.h"
#include "toolkit/qt/UiFonts.h"
#include "toolkit/qt/UiThread.h"

namespace kestrel::toolkit::qt {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Runs a dialog made by make() and turns its outcome into an answer. On the
// user-interface thread the dialog runs its own modal loop. From a worker it
// is opened with QDialog::open (no nested loop on the user-interface thread)
// and the worker waits; should the dialog or the application go away
// unanswered, the worker gets `cancelled`.
template <typename R>
R RunDialog(std::function<QDialog*()> make, std::function<R(QDialog*, int)> answer, R cancelled) {
    if (OnUiThread()) {
        QDialog* d = make();
        const int rc = d->exec();
        R r = answer(d, rc);
        delete d;
        return r;
    }
    if (!QCoreApplication::instance()) return cancelled;
    struct State {
        std::promise<R> promise;
        std::atomic<bool> done{false};
        void Set(R r) {
            if (!done.exchange(true)) promise.set_value(std::move(r));
        }
    };
    auto state = std::make_shared<State>();
    std::future<R> future = state->promise.get_future();
    PostToUi([state, make, answer, cancelled] {
        QDialog* d = make();
        d->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(d, &QDialog::finished, d,
                         [state, d, answer](int rc) { state->Set(answer(d, rc)); });
        QObject::connect(d, &QObject::destroyed, [state, cancelled] { state->Set(cancelled); });
        d->open();
    });
    try {
        return future.get();
    } catch (const std::future_error&) {
        // The queued call was dropped with the application.
        return cancelled;
    }
}

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Error: return QMessageBox::Critical;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Information: break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons ToQt(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

MessageAnswer FromQt(int button, MessageButtons buttons) {
    switch (button) {
        case QMessageBox::Ok: return MessageAnswer::Ok;
        case QMessageBox::Yes: return MessageAnswer::Yes;
        case QMessageBox::No: return MessageAnswer::No;
        case QMessageBox::Cancel: return MessageAnswer::Cancel;
        default: break;
    }
    // Closed by Escape or the window's close button.
    switch (buttons) {
        case MessageButtons::Ok: return MessageAnswer::Ok;
        case MessageButtons::YesNo: return MessageAnswer::No;
        case MessageButtons::OkCancel: break;
    }
    return MessageAnswer::Cancel;
}

}  // namespace

QtApplication::QtApplication() {
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's FFmpeg media backend decodes MP3 and WAVE by itself; the GStreamer
    // one would need further plugin packages for both. The choice must be
    // made before the first player exists. It is the launcher's own: the
    // programs it starts do not get it (platform::ChildEnvironment).
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "ffmpeg");
    // The windows draw with the launcher's own fonts (UiFonts.h), then with
    // the system's CJK font for a character neither has; the package list
    // installs Noto CJK. The built-in bytes are read in place: Qt keeps the
    // array without copying it.
    QStringList families;
    for (const UiFont& font : UiFonts()) {
        const auto bytes = QByteArray::fromRawData(font.bytes.data(), static_cast<qsizetype>(font.bytes.size()));
        if (QFontDatabase::addApplicationFontFromData(bytes) >= 0) {
            families << QString::fromLatin1(font.family.data(), static_cast<qsizetype>(font.family.size()));
        }
    }
    const QStringList installed = QFontDatabase::families();
    for (const char* name : {"Noto Sans CJK SC", "Noto Sans SC", "Noto Sans CJK"}) {
        if (installed.contains(QString::fromLatin1(name))) {
            families << QString::fromLatin1(name);
            break;
        }
    }
    if (!families.isEmpty()) {
        QFont f(families);
        f.setPixelSize(12);
        QApplication::setFont(f);
    }
    // Qt's own texts (the message boxes' standard buttons, the file and
    // folder dialogs) speak Chinese as the launcher does. Without the
    // translation files Qt keeps its English texts.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

QtApplication::~QtApplication() = default;

std::shared_ptr<Surface> QtApplication::CreateSurface(const WindowDef& def, Surface* owner) {
    auto* qt_owner = dynamic_cast<QtSurface*>(owner);
    QtSurface* made = CallOnUi<QtSurface*>([&] { return new QtSurface(def, qt_owner, &pictures_); });
    return std::shared_ptr<Surface>(made);
}

MessageAnswer QtApplication::ShowMessageBox(const std::string& text, const std::string& caption,
                                            MessageIcon icon, MessageButtons buttons) {
    const QString qtext = DisplayText(Q(text));
    const QString qcaption = Q(caption);
    return RunDialog<MessageAnswer>(
        [=]() -> QDialog* {
            auto* box = new QMessageBox(ToQt(icon), qcaption, qtext, ToQt(buttons));
            box->setObjectName(QStringLiteral("kestrel-message-box"));
            return box;
        },
        [buttons](QDialog* d, int) {
            auto* box = static_cast<QMessageBox*>(d);
            return FromQt(box->standardButton(box->clickedButton()), buttons);
        },
        buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel);
}

void QtApplication::SetClipboardText(const std::string& text) {
    PostToUi([t = Q(text)] { QGuiApplication::clipboard()->setText(t); });
}

std::string QtApplication::ClipboardText() const {
    return CallOnUi<std::string>([] { return QGuiApplication::clipboard()->text().toStdString(); });
}

bool QtApplication::OpenInShell(const std::string& target) {
    return CallOnUi<bool>([t = Q(target)] {
        const QUrl url = QFileInfo::exists(t) ? QUrl::fromLocalFile(t) : QUrl::fromUserInput(t);
        return url.isValid() && QDesktopServices::openUrl(url);
    });
}

std::string QtApplication::OpenFileDialog(const std::string& title, const std::string& start_folder,
                                          const std::string& filter) {
    return RunDialog<std::string>(
        [t = Q(title), f = Q(start_folder), flt = Q(filter)]() -> QDialog* {
            auto* d = new QFileDialog(nullptr, t, f, flt);
            d->setFileMode(QFileDialog::ExistingFile);
            return d;
        },
        [](QDialog* d, int rc) -> std::string {
            if (rc != QDialog::Accepted) return "";
            const QStringList files = static_cast<QFileDialog*>(d)->selectedFiles();
            return files.isEmpty() ? "" : files.front().toStdString();
        },
        std::string());
}

std::string QtApplication::FolderDialog(const std::string& title, const std::string& start_folder) {
    return RunDialog<std::string>(
        [t = Q(title), f = Q(start_folder)]() -> QDialog* {
            auto* d = new QFileDialog(nullptr, t, f);
            d->setFileMode(QFileDialog::Directory);
            return d;
        },
        [](QDialog* d, int rc) -> std::string {
            if (rc != QDialog::Accepted) return "";
            const QStringList files = static_cast<QFileDialog*>(d)->selectedFiles();
            return files.isEmpty() ? "" : files.front().toStdString();
        },
        std::string());
}

std::unique_ptr<MediaPlayer> QtApplication::CreateMediaPlayer() {
    return media_.CreatePlayer();
}

void QtApplication::PlaySound(const std::string& wave_bytes) { media_.PlayWave(wave_bytes); }

Size QtApplication::PrimaryScreenSize() const {
    return CallOnUi<Size>([] {
        QScreen* s = QGuiApplication::primaryScreen();
        return s ? Size{s->size().width(), s->size().height()} : Size{};
    });
}

void QtApplication::Post(std::function<void()> fn) {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
    }
}

void QtApplication::DecodePicturesAhead(platform::Workers& workers, std::vector<std::string_view> pictures) {
    pictures_.DecodeAhead(workers, std::move(pictures));
}

QImage QtApplication::TakePictureDecodedAhead(std::string_view bytes) {
    return pictures_.Take(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void QtApplication::Quit() {
    PostToUi([] { QCoreApplication::quit(); });
}

}  // namespace kestrel::toolkit::qt
