#include "platform/testing/dialog_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <deque>

#include "platform/linux/window/window_system.h"

namespace {

constexpr int kPollMs = 10;

std::deque<DialogAnswer> answers;
std::vector<SeenDialog> seen;
QWidget* answered = nullptr;
bool shown_called = false;

void note(QWidget* dialog) {
    SeenDialog dialog_seen;
    dialog_seen.title = dialog->windowTitle().toStdString();
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        dialog_seen.kind = "message";
        dialog_seen.text = box->text().toStdString();
        for (QAbstractButton* button : box->buttons())
            dialog_seen.buttons.push_back(button->text().toStdString());
    } else if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
        dialog_seen.kind = "file";
        for (const QString& filter : files->nameFilters())
            dialog_seen.filters.push_back(filter.toStdString());
        // The filter in force is the one the dialog's own combo box shows.
        if (auto* types = files->findChild<QComboBox*>(QStringLiteral(u"fileTypeCombo")))
            dialog_seen.filter_index = types->currentIndex();
    } else if (auto* line = dialog->findChild<QLineEdit*>()) {
        dialog_seen.kind = "dialog";
        dialog_seen.text = line->text().toStdString();
    }
    seen.push_back(dialog_seen);
}

void act(QWidget* dialog, const DialogAnswer& answer) {
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        QMessageBox::StandardButton button = answer.action == DialogAction::Yes  ? QMessageBox::Yes
                                             : answer.action == DialogAction::No ? QMessageBox::No
                                             : answer.action == DialogAction::Cancel
                                                 ? QMessageBox::Cancel
                                                 : QMessageBox::Ok;
        if (QAbstractButton* pressed = box->button(button))
            pressed->click();
        else
            box->reject();
    } else if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
        if (answer.filter_index >= 0 && answer.filter_index < files->nameFilters().size())
            files->selectNameFilter(files->nameFilters()[answer.filter_index]);
        if (answer.action == DialogAction::Accept) {
            files->selectFile(QString::fromStdString(answer.file_name));
            static_cast<QDialog*>(files)->accept();  // the file dialog's own accept checks the name
        } else {
            files->reject();
        }
    } else if (auto* line = dialog->findChild<QLineEdit*>()) {
        // Typed, then Enter or Escape: the keys a user ends a dialog box with.
        if (answer.action == DialogAction::Accept)
            line->setText(QString::fromStdString(answer.file_name));
        int key = answer.action == DialogAction::Accept ? Qt::Key_Return : Qt::Key_Escape;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(line, &press);
    }
}

void poll() {
    if (answers.empty()) return;
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr || dialog == answered || !dialog->isVisible()) return;
    DialogAnswer& answer = answers.front();
    if (!shown_called) {
        shown_called = true;
        note(dialog);
        if (answer.on_shown) answer.on_shown();
    }
    if (answer.ready && !answer.ready()) return;
    DialogAnswer taken = answers.front();
    answers.pop_front();
    answered = dialog;
    shown_called = false;
    act(dialog, taken);
}

}  // namespace

void answer_next_dialog(DialogAnswer answer) {
    ensure_application();
    static QTimer* timer = [] {
        auto* polling = new QTimer;
        QObject::connect(polling, &QTimer::timeout, poll);
        polling->start(kPollMs);
        return polling;
    }();
    (void)timer;
    answered = nullptr;
    answers.push_back(std::move(answer));
}

const std::vector<SeenDialog>& seen_dialogs() {
    return seen;
}

void forget_seen_dialogs() {
    seen.clear();
}
