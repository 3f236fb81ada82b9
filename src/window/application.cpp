#include "window/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "report/painter/report_painter.h"
#include "state/constants.h"

namespace trelvan {

bool prepareApplication(QApplication& app) {
    QApplication::setApplicationName(QString::fromUtf8(programTitle));
    installFontSubstitutions();
    // Dates and sizes in the standard dialogs (the file dialog's list) read in Chinese
    // like their captions. The program's own numbers never depend on a locale.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QApplication::installTranslator(translator);
}

}  // namespace trelvan
