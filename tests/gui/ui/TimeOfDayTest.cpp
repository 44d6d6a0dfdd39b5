// The completion time as the desktop program writes it: the regional long time format, with the
// morning/afternoon marker only on a 12-hour clock and never a time zone.

#include <QLocale>
#include <QRegularExpression>

#include "GuiTestSupport.h"
#include "ui/qt/QtHost.h"

namespace velor::guitest {
namespace {

TEST(TimeOfDay, IsHourMinutesSecondsWithoutAZone) {
    App();
    MainWindowModel model;
    ui::QtHost host(model, false);
    QString time = QString::fromStdString(host.LongTimeOfDay());
    const QLocale regional = QLocale::system();
    for (const QString& marker : {regional.amText(), regional.pmText()}) {
        if (!marker.isEmpty() && (time.startsWith(marker + QLatin1Char(' ')) ||
                                  time.endsWith(QLatin1Char(' ') + marker))) {
            time = time.startsWith(marker) ? time.mid(marker.size() + 1)
                                           : time.left(time.size() - marker.size() - 1);
        }
    }
    static const QRegularExpression kClock(
        QStringLiteral("^\\d{1,2}\\D{1,3}\\d\\d\\D{1,3}\\d\\d$"));
    EXPECT_TRUE(kClock.match(time).hasMatch())
        << host.LongTimeOfDay() << " under " << regional.name().toStdString();
}

}  // namespace
}  // namespace velor::guitest
