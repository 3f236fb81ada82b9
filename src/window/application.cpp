#include "window/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "report/painter/report_painter.h"
#include "state/constants.h"

namespace trelvan {

bool prepareApplication(QApplication& app) {
    QApplication::setApplicationName(QString::fromUtf8(programTitle));
    installFontSubstitutions();
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QApplication::installTranslator(translator);
}

}  // namespace trelvan
