#pragma once

#include <QPoint>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace mosaiq {

// Every modal piece of the editor goes through this interface, so that tests can answer from a
// script instead of blocking on a real dialog. Each call returns only when the user is done.
class Dialogs {
public:
    enum class FileKind { Open, Save };

    struct FileRequest {
        FileKind kind = FileKind::Open;
        QString folder;   // the folder shown first
        QString fileName; // the name proposed, may be empty
        QString filter;   // "description|pattern"
        QString title;
    };

    virtual ~Dialogs() = default;

    // Opens the pop-up menu at a global position. A chosen item has been triggered (its handler
    // has run) by the time this returns; returns the chosen item, or nullptr when the menu was
    // closed without a command.
    virtual QAction* PopupMenu(QMenu& menu, QPoint globalPos) = 0;
    // A Yes/No question with the question icon; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // An OK/Cancel question, OK the default, with the question icon; true for OK.
    virtual bool AskOkCancel(QWidget* parent, const QString& title, const QString& text) = 0;
    // A message the user acknowledges.
    virtual void Inform(QWidget* parent, const QString& title, const QString& text) = 0;
    // The file chooser; an empty path means nothing was chosen.
    virtual QString ChooseFile(QWidget* parent, const FileRequest& request) = 0;
};

// The real thing, built on QMenu, QMessageBox and QFileDialog.
class QtDialogs : public Dialogs {
public:
    QAction* PopupMenu(QMenu& menu, QPoint globalPos) override;
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override;
    bool AskOkCancel(QWidget* parent, const QString& title, const QString& text) override;
    void Inform(QWidget* parent, const QString& title, const QString& text) override;
    QString ChooseFile(QWidget* parent, const FileRequest& request) override;
};

} // namespace mosaiq
