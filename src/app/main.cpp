#include "meter/form1.h"
#include "platform/drive_list.h"
#include "platform/instance_lock.h"
#include "platform/make_os_queries.h"
#include "settings/ini_settings_store.h"
#include "texts/texts.h"
#include "widgets/fonts.h"

#include <QApplication>

#include <string_view>

namespace {

const kelvora::Texts& programTexts() {
#ifdef KELVORA_LANG_PL
    return kelvora::polishTexts();
#else
    return kelvora::englishTexts();
#endif
}

// The windows are placed at stored positions and the strip is dragged
// without a title bar: both need X11, which Wayland desktops offer through
// XWayland.
void preferX11() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace kelvora;
    // Read before Qt takes its own options out of the command line.
    const bool restore = argc == 2 && std::string_view(argv[1]) == "-restore";

    preferX11();
    QApplication application(argc, argv);
    const Texts& texts = programTexts();
    const QString title = QString::fromUtf8(texts.programTitle);
    QApplication::setApplicationName(title);
    QApplication::setApplicationVersion(QString::fromUtf8(texts.version));

    IniSettingsStore store(title);
    if (restore) {
        store.deleteAll();
    }
    const InstanceLock lock(title);
    if (!lock.isHeld()) {
        return 0;
    }

    installFontSubstitutes();
    const auto os = makeOsQueries();
    Form1 form(texts, store, *os, listDrives());
    form.load();
    form.show();
    return QApplication::exec();
}
