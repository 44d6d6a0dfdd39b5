// Labels that show text from outside (a file's name in the status line) draw it as written: a
// name with markup in it is not rendered as rich text.

#include <QLabel>

#include "MainFormFixture.h"

namespace velor::guitest {
namespace {

class PlainTextLabelsTest : public MainFormTest {};

TEST_F(PlainTextLabelsTest, EveryLabelOfTheMainWindowIsPlainText) {
    Build();
    ShowAndActivate();
    const auto labels = form->findChildren<QLabel*>();
    ASSERT_FALSE(labels.isEmpty());
    for (const QLabel* label : labels) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    }
}

}  // namespace
}  // namespace velor::guitest
