// SPDX-License-Identifier: MIT
#include "meter/form1.h"
#include "platform/drive_list.h"
#include "platform/make_os_queries.h"
#include "process/instance_lock.h"
#include "process/termination_signals.h"
#include "process/user_folders.h"
#include "process/window_system.h"
#include "settings/ini_settings_store.h"
#include "texts/texts.h"
#include "widgets/fonts.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

const kelvora::Texts& programTexts() {
#ifdef KELVORA_LANG_PL
    return kelvora::polishTexts();
#else
    return kelvora::englishTexts();
#endif
}

// Qt aborts with a page of advice when no display can be opened; the user
// gets one line and an ordinary failure status instead.
void reportNoDisplay(QtMsgType type, const QMessageLogContext&, const QString&) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s: no graphical display could be opened (X11 or Wayland)\n",
                     programTexts().programTitle);
        std::_Exit(EXIT_FAILURE);
    }
}

// Qt ends the process with exit() from inside the event loop when the X
// server goes away. Objects of static storage are the only ones destroyed
// then, so one of them keeps what the user set in the window; it is released
// once the window has closed normally.
class ClosingSettingsAtExit {
public:
    explicit ClosingSettingsAtExit(kelvora::Form1& form) : m_form(&form) {}
    ~ClosingSettingsAtExit() {
        if (m_form != nullptr) {
            m_form->storeClosingSettings();
        }
    }
    void release() { m_form = nullptr; }

private:
    kelvora::Form1* m_form;
};

} // namespace

int main(int argc, char* argv[]) {
    using namespace kelvora;
    // Read before Qt takes its own options out of the command line.
    const bool restore = argc == 2 && std::string_view(argv[1]) == "-restore";

    preferPlacingWindowSystem();
    const QtMessageHandler qtMessages = qInstallMessageHandler(reportNoDisplay);
    QApplication application(argc, argv);
    qInstallMessageHandler(qtMessages);
    const Texts& texts = programTexts();
    const QString title = QString::fromUtf8(texts.programTitle);
    // The program's own name rather than its title, which other programs
    // share: X11 docks match the window's class to the menu entry's
    // StartupWMClass, Wayland compositors the desktop file name.
    QApplication::setApplicationName(QStringLiteral(KELVORA_PROGRAM));
    QApplication::setApplicationVersion(QString::fromUtf8(texts.version));
    QGuiApplication::setDesktopFileName(QStringLiteral(KELVORA_DESKTOP_ID));

    IniSettingsStore store(userSettingsFolder(), title, earlierUserSettingsFolder());
    if (restore) {
        store.deleteAll();
    }
    const InstanceLock lock(title);
    if (lock.anotherInstanceRuns()) {
        return 0;
    }
    // Only the instance that runs moves a file: two starts at once must not
    // both make one.
    store.takeOverEarlierFile();

    installFontSubstitutes();
    const auto os = makeOsQueries();
    Form1 form(texts, store, *os, listDrives());
    static ClosingSettingsAtExit atExit(form);
    form.load();

    // From here on a log-out, a shutdown or a kill ends the program as a
    // close does; before, it ends the process at once, so that a start stuck
    // anywhere stays easy to end, and nothing was changed that a close would
    // store.
    TerminationSignals endRequests;
    QObject::connect(&endRequests, &TerminationSignals::received, &form, &QWidget::close);
    form.show();
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &form, &QWidget::close);

    const int status = QApplication::exec();
    atExit.release();
    return status;
}
