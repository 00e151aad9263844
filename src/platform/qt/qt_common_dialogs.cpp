// Message boxes, popup menus, and the file, folder and font dialogs.
#include "platform/qt/qt_internal.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMenu>
#include <QMessageBox>

using namespace kvqt;

int kvqt::caption_width(const std::string& caption) {
    // Window managers draw the caption in a larger or bold font, and put the
    // window's icon and up to three buttons beside it.
    constexpr int TITLE_BAR_ROOM = 160;
    const int text = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(qs(caption));
    return text * 5 / 4 + TITLE_BAR_ROOM;
}

namespace {

// Owns a modal window unless its parent window took it down first.
template <class T>
class Owned {
public:
    explicit Owned(T* w) : w_(w) {}
    ~Owned() { delete w_.data(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    T* operator->() const { return w_.data(); }
    T* get() const { return w_.data(); }

private:
    QPointer<T> w_;
};

void add_menu_items(QMenu* menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        if (item.is_separator()) {
            menu->addSeparator();
        } else if (item.is_popup()) {
            QMenu* sub = menu->addMenu(qs(item.text));
            sub->setEnabled(!item.disabled);
            add_menu_items(sub, item.items);
        } else {
            QAction* a = menu->addAction(qs(item.text));
            a->setData(item.id);
            a->setEnabled(!item.disabled);
            a->setCheckable(item.checked);
            a->setChecked(item.checked);
        }
    }
}

// "Text files (*.txt)" from a description and ';'-separated patterns; a
// description that already shows its patterns in brackets keeps only its words.
QString filter_text(const FileFilter& f) {
    QString desc = qs(f.description).trimmed();
    QString patterns = qs(f.patterns);
    patterns.replace(';', ' ');
    patterns = patterns.simplified();
    if (patterns.isEmpty()) patterns = "*";
    qsizetype open = desc.lastIndexOf('(');
    if (open >= 0 && desc.endsWith(')') && desc.mid(open).contains('*')) desc = desc.left(open).trimmed();
    if (desc.isEmpty()) desc = patterns;
    return desc + " (" + patterns + ")";
}

std::optional<std::string> file_dialog(const QtBackend::State& state, QWidget* parent, FileDialogRequest& r,
                                       bool save) {
    ActivationKeeper keeper(state, parent);
    Owned<QFileDialog> d(new QFileDialog(parent, qs(r.title)));
    d->setOption(QFileDialog::DontUseNativeDialog);
    d->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d->setFileMode(!save && r.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (save && !r.confirm_overwrite) d->setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters;
    for (const FileFilter& f : r.filters) filters << filter_text(f);
    if (!filters.isEmpty()) {
        d->setNameFilters(filters);
        if (r.filter_index >= 0 && r.filter_index < filters.size()) d->selectNameFilter(filters[r.filter_index]);
    }
    if (!r.default_extension.empty()) d->setDefaultSuffix(qs(r.default_extension));
    if (save && r.extension_follows_filter) {
        const std::vector<FileFilter> request_filters = r.filters;
        auto follow = [dialog = d.get(), request_filters, filters](const QString& chosen) {
            const auto index = filters.indexOf(chosen);
            if (index < 0) return;
            const QString extension = qs(filter_extension(request_filters[static_cast<size_t>(index)]));
            dialog->setDefaultSuffix(extension);
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            if (!name || name->text().isEmpty() || extension.isEmpty()) return;
            QString text = name->text();
            const auto slash = std::max(text.lastIndexOf('/'), text.lastIndexOf('\\'));
            const auto dot = text.lastIndexOf('.');
            if (dot > slash) text.truncate(dot);
            name->setText(text + "." + extension);
        };
        QObject::connect(d.get(), &QFileDialog::filterSelected, d.get(), follow);
        if (r.filter_index >= 0 && r.filter_index < static_cast<int>(r.filters.size()))
            d->setDefaultSuffix(qs(filter_extension(r.filters[static_cast<size_t>(r.filter_index)])));
    }
    if (!r.ok_text.empty()) d->setLabelText(QFileDialog::Accept, qs(r.ok_text));
    if (!r.initial_path.empty()) {
        QFileInfo info(qs(r.initial_path));
        if (info.isDir()) {
            d->setDirectory(info.absoluteFilePath());
        } else {
            d->setDirectory(info.absolutePath());
            d->selectFile(info.fileName());
        }
    }
    int answer = d->exec();
    if (!d.get() || answer != QDialog::Accepted) return std::nullopt;
    QStringList files = d->selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    if (int index = static_cast<int>(filters.indexOf(d->selectedNameFilter())); index >= 0) r.filter_index = index;
    return ss(files.first());
}

}  // namespace

int QtBackend::message_box(WindowId owner, const std::string& text, const std::string& caption, MessageIcon icon,
                           MessageButtons buttons) {
    ActivationKeeper keeper(*s_, s_->parent_for(owner));
    Owned<QMessageBox> box(new QMessageBox(s_->parent_for(owner)));
    box->setWindowTitle(qs(caption));
    box->setTextFormat(Qt::PlainText);
    box->setText(qs(text));
    switch (icon) {
    case MessageIcon::Info: box->setIcon(QMessageBox::Information); break;
    case MessageIcon::Warning: box->setIcon(QMessageBox::Warning); break;
    case MessageIcon::Error: box->setIcon(QMessageBox::Critical); break;
    case MessageIcon::Question: box->setIcon(QMessageBox::Question); break;
    case MessageIcon::None: break;
    }
    int escape_answer = IDOK;
    switch (buttons) {
    case MessageButtons::Ok:
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box->setDefaultButton(QMessageBox::Ok);
        escape_answer = IDCANCEL;
        break;
    case MessageButtons::YesNo:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
        escape_answer = IDNO;
        break;
    case MessageButtons::YesNoCancel:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box->setDefaultButton(QMessageBox::Yes);
        escape_answer = IDCANCEL;
        break;
    }
    // Wide enough that the title bar shows the whole caption beside its
    // buttons: a message box sizes itself to its text alone.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        grid->addItem(new QSpacerItem(caption_width(caption), 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
                      1, grid->columnCount());
    }
    int answer = box->exec();
    if (!box.get()) return escape_answer;
    switch (answer) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return escape_answer;   // closed from outside
    }
}

int QtBackend::popup_menu(WindowId owner, const MenuItem& popup, Point screen) {
    if (popup.items.empty()) return 0;
    Owned<QMenu> menu(new QMenu(s_->parent_for(owner)));
    add_menu_items(menu.get(), popup.items);
    QAction* chosen = menu->exec(QPoint(screen.x, screen.y));
    return chosen && menu.get() ? chosen->data().toInt() : 0;
}

std::optional<std::string> QtBackend::open_file_dialog(WindowId owner, FileDialogRequest& r) {
    return file_dialog(*s_, s_->parent_for(owner), r, false);
}

std::optional<std::string> QtBackend::save_file_dialog(WindowId owner, FileDialogRequest& r) {
    return file_dialog(*s_, s_->parent_for(owner), r, true);
}

std::optional<std::string> QtBackend::browse_folder(WindowId owner, const std::string& title,
                                                    const std::string& initial) {
    ActivationKeeper keeper(*s_, s_->parent_for(owner));
    Owned<QFileDialog> d(new QFileDialog(s_->parent_for(owner), qs(title)));
    d->setOption(QFileDialog::DontUseNativeDialog);
    d->setOption(QFileDialog::ShowDirsOnly);
    d->setFileMode(QFileDialog::Directory);
    if (!initial.empty()) d->setDirectory(qs(initial));
    int answer = d->exec();
    if (!d.get() || answer != QDialog::Accepted || d->selectedFiles().isEmpty()) return std::nullopt;
    return ss(d->selectedFiles().first());
}

bool QtBackend::choose_font(WindowId owner, FontSpec& font) {
    ActivationKeeper keeper(*s_, s_->parent_for(owner));
    Owned<QFontDialog> d(new QFontDialog(make_font(font), s_->parent_for(owner)));
    d->setOption(QFontDialog::DontUseNativeDialog);
    int answer = d->exec();
    if (!d.get() || answer != QDialog::Accepted) return false;
    int escapement = font.escapement;
    font = font_spec(d->selectedFont());
    font.escapement = escapement;
    return true;
}
