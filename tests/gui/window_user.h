// A user at the real windows, for the window tests that build a model from
// an empty one: menu items clicked by their path, keys and texts typed into
// a window, and the dialogs, file dialogs and message boxes that come up
// answered as they come (a dialog by the answer given for its template, in
// the order given; one without an answer is cancelled and noted, so that a
// test cannot hang on it; the progress of an analysis or of a print is left
// to end by itself).
#pragma once

#include "analysis/ui/analysis_ui.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "gui/gui_fixture.h"
#include "results/ui/results_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

class WindowUser {
public:
    using Answer = std::function<void(QDialog*)>;

    WindowUser()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer_modal(); });
        timer_.start(40);
    }
    ~WindowUser() { timer_.stop(); }

    // The next dialog of this template is answered so.
    void on(const std::string& dialog, Answer answer) { answers_[dialog].push_back(std::move(answer)); }
    // The next file dialog takes this path.
    void answer_file(const std::string& path) { files_.push_back(path); }

    std::vector<std::string> messages;      // the texts of the message boxes, in order
    std::vector<std::string> dialogs;       // the dialogs answered, by template name
    std::vector<std::string> unanswered;    // the dialogs cancelled for want of an answer
    std::vector<std::string> file_folders;  // the folder each file dialog opened in

    // Clicks the item of a frame's menu bar by the texts of its path, as
    // they read without their mnemonics and dots ("Loads", "Response
    // Spectrum"); the command has run (and the dialogs it opened have been
    // answered) when it returns. False when there is no such item or it is
    // greyed.
    bool menu(const Frame& frame, const std::vector<std::string>& path)
    {
        auto* window = qobject_cast<QMainWindow*>(gui_backend().widget(frame.window));
        if (!window)
            return false;
        QList<QAction*> actions = window->menuBar()->actions();
        QAction* found = nullptr;
        for (const std::string& name : path) {
            found = nullptr;
            for (QAction* a : actions)
                if (!a->isSeparator() && plain(a->text()) == name)
                    found = a;
            if (!found)
                return false;
            if (QMenu* sub = found->menu()) {
                emit sub->aboutToShow();   // as the menu drops down: its items brought up to date
                actions = sub->actions();
            }
        }
        if (!found->isEnabled() || found->menu())
            return false;
        found->trigger();
        // The command is queued to the frame: run it now.
        QCoreApplication::sendPostedEvents(window, QEvent::MetaCall);
        return true;
    }

    // Typing into a window as the keyboard sends it: a character a key.
    static void type(QWidget* w, const std::string& text)
    {
        for (const char c : text) {
            const QChar ch = QLatin1Char(c);
            int key = Qt::Key_unknown;
            if (ch.isDigit())
                key = Qt::Key_0 + (c - '0');
            else if (ch.isLetter())
                key = Qt::Key_A + (ch.toUpper().toLatin1() - 'A');
            else if (c == ' ')
                key = Qt::Key_Space;
            else if (c == '-')
                key = Qt::Key_Minus;
            else if (c == '.')
                key = Qt::Key_Period;
            else if (c == '=')
                key = Qt::Key_Equal;
            send(w, key, QString(ch));
        }
    }
    static void key(QWidget* w, int qt_key) { send(w, qt_key, {}); }
    // A key held with modifiers (Alt, Ctrl, Shift), with the text it gives.
    static void chord(QWidget* w, int qt_key, Qt::KeyboardModifiers mods, const QString& text = {})
    {
        send(w, qt_key, text, mods);
    }
    // Texts typed one after the other, Tab after each but the last, which
    // `last` ends (Tab, Return, or 0 for none).
    static void cells(QWidget* w, const std::vector<std::string>& texts, int last)
    {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            type(w, texts[i]);
            if (i + 1 < texts.size())
                key(w, Qt::Key_Tab);
            else if (last != 0)
                key(w, last);
        }
    }

    // ---- In an answer: a dialog's items by their ids --------------------------------------
    template <class T>
    static T* item(QDialog* d, int id)
    {
        return d->findChild<T*>(QStringLiteral("item_%1").arg(id));
    }
    // A field typed anew.
    static bool set_text(QDialog* d, int id, const std::string& text)
    {
        auto* edit = item<QLineEdit>(d, id);
        if (!edit)
            return false;
        edit->setFocus();
        edit->selectAll();
        edit->del();
        edit->insert(QString::fromStdString(text));
        return true;
    }
    // A combo's entry chosen by its text, as a click on it chooses it.
    static bool choose(QDialog* d, int id, const std::string& text)
    {
        auto* combo = item<QComboBox>(d, id);
        const int index = combo ? combo->findText(QString::fromStdString(text)) : -1;
        if (index < 0)
            return false;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        return true;
    }
    // The entries of a combo or a list.
    static std::vector<std::string> entries(QDialog* d, int id)
    {
        std::vector<std::string> out;
        if (auto* combo = item<QComboBox>(d, id))
            for (int i = 0; i < combo->count(); ++i)
                out.push_back(combo->itemText(i).toStdString());
        if (auto* list = item<QListWidget>(d, id))
            for (int i = 0; i < list->count(); ++i)
                out.push_back(list->item(i)->text().toStdString());
        return out;
    }
    static bool click(QDialog* d, int id)
    {
        auto* button = item<QAbstractButton>(d, id);
        if (!button || !button->isEnabled())
            return false;
        button->click();
        return true;
    }
    // The client window put into a dialog's table item (keys go to it).
    static QWidget* table_client(QDialog* d, int id)
    {
        QWidget* place = item<QWidget>(d, id);
        return place ? place->focusProxy() : nullptr;
    }

private:
    static std::string plain(const QString& text)
    {
        std::string s = text.section('\t', 0, 0).toStdString();
        std::erase(s, '&');
        while (!s.empty() && (s.back() == '.' || s.back() == ' '))
            s.pop_back();
        return s;
    }
    static void send(QWidget* w, int key, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods, text);
        QCoreApplication::sendEvent(w, &release);
    }

    // An answer may bring up another window (a refusal's message, a dialog
    // of a button) and waits in its loop: that one is answered from there,
    // and the dialog whose answer runs is not answered again.
    void answer_modal()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || std::find(answering_.begin(), answering_.end(), modal) != answering_.end())
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.push_back(box->text().toStdString());
            if (QAbstractButton* b = box->defaultButton())
                b->click();
            else
                box->accept();
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            file_folders.push_back(files->directory().absolutePath().toStdString());
            if (files_.empty()) {
                unanswered.push_back("file dialog " + files->windowTitle().toStdString());
                files->reject();
            } else {
                const QString path = QString::fromStdString(files_.front());
                files_.pop_front();
                files->selectFile(path);
                if (auto* name = files->findChild<QLineEdit*>("fileNameEdit"))
                    name->setText(path);
                static_cast<QDialog*>(files)->accept();
            }
        } else if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible()) {
            const std::string name = dialog->objectName().toStdString();
            // A name ending in "*" answers every template that starts so
            // (the result choosers are made for their count of entries).
            auto it = std::find_if(answers_.begin(), answers_.end(), [&name](const auto& entry) {
                const std::string& key = entry.first;
                return !entry.second.empty() &&
                       (key == name || (!key.empty() && key.back() == '*' &&
                                        name.rfind(key.substr(0, key.size() - 1), 0) == 0));
            });
            if (it != answers_.end() && !it->second.empty()) {
                Answer answer = std::move(it->second.front());
                it->second.pop_front();
                dialogs.push_back(name);
                answering_.push_back(dialog);
                answer(dialog);
                answering_.pop_back();
            } else if (name != "ANALYSIS_DIALOG" && name != "PRINTING_DIALOG" && name != "INFO_DIALOG") {
                unanswered.push_back(name);
                dialog->reject();
            }
        }
    }

    std::map<std::string, std::deque<Answer>> answers_;
    std::deque<std::string> files_;
    std::vector<QWidget*> answering_;
    QTimer timer_;
};

// The model file at `model` opened, analysed and its results open, the
// result chooser (whose name goes with the number of its entries) cancelled
// by `user`.
inline void open_results_of(const std::string& model, WindowUser& user)
{
    open_by_extension(model);
    user.on("RESULTS*", [](QDialog* d) { d->reject(); });
    ASSERT_TRUE(analyze_command(main_frame().window));
    open_results();
    ASSERT_TRUE(gui_wait_for([] {
        return in_results() && frame_is_visible(results_frame()) && QApplication::activeModalWidget() == nullptr;
    }));
}
