// The open dialog for an Intel HEX file.

#include <QFileDialog>
#include <QFileInfo>

#include "ui/qt/Main.h"
#include "ui/qt/QtText.h"

namespace velor::ui {

std::optional<std::string> TMainForm::ChooseHexFile() {
    if (m_chooseFile) {
        return m_chooseFile();
    }
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // the named file need not exist
    dialog.setNameFilter(Q(kOpenHexFilterName) + QStringLiteral(" (") + Q(kOpenHexFilterPattern) +
                         QLatin1Char(')'));
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!m_model.OpenDialogFileName.empty()) {
        const QFileInfo last(Q(m_model.OpenDialogFileName));
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst().toStdString();
}

}  // namespace velor::ui
