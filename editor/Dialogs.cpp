#include "Dialogs.h"

#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

namespace mosaiq {

QAction* QtDialogs::PopupMenu(QMenu& menu, QPoint globalPos) {
    return menu.exec(globalPos);
}

bool QtDialogs::AskYesNo(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

bool QtDialogs::AskOkCancel(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

void QtDialogs::Inform(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, text);
}

QString QtDialogs::ChooseFile(QWidget* parent, const FileRequest& request) {
    // "description|pattern" becomes Qt's "description (pattern)"; the description already names
    // the pattern, so it is used as it stands.
    const QString description = request.filter.section(QLatin1Char('|'), 0, 0);
    QFileDialog dialog(parent, request.title, request.folder, description);
    dialog.setAcceptMode(request.kind == FileKind::Open ? QFileDialog::AcceptOpen
                                                        : QFileDialog::AcceptSave);
    dialog.setFileMode(request.kind == FileKind::Open ? QFileDialog::ExistingFile
                                                      : QFileDialog::AnyFile);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace mosaiq
