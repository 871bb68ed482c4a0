// The file dialog a person sees: Qt's own (non-native) file dialog, so that the
// added template panel can sit in its layout under the file list.
#include <QFileDialog>
#include <QGridLayout>
#include <QPalette>
#include <QStringList>

#include "dialogs_private.h"
#include "windows/windows_private.h"

namespace plat::dlg {

namespace {

// "Description (patterns)": Qt takes the patterns from the last parentheses
// and hides them (HideNameFilterDetails), so the description shows as given.
// "*.*" matches every file, as it does on the platform.
QStringList qt_filters(const std::vector<FileFilter>& filters) {
    QStringList out;
    for (const FileFilter& f : filters) {
        QStringList patterns;
        for (const std::string& p : f.patterns)
            patterns << (p == "*.*" ? QStringLiteral("*") : QString::fromUtf8(p));
        if (patterns.isEmpty()) patterns << QStringLiteral("*");
        out << QString::fromUtf8(f.description) + " (" + patterns.join(' ') + ")";
    }
    return out;
}

void place_panel(QFileDialog& d, HWND panel) {
    QWidget* frame = frame_of(panel);
    auto* grid = qobject_cast<QGridLayout*>(d.layout());
    if (!frame || !grid) return;
    QSize size = frame->size();
    frame->setParent(&d);
    frame->setMinimumSize(size);
    frame->setFixedHeight(size.height());
    grid->addWidget(frame, grid->rowCount(), 0, 1, grid->columnCount());
    frame->show();
}

void take_panel_back(HWND host, HWND panel) {
    QWidget* frame = frame_of(panel);
    if (!frame) return;
    frame->hide();
    frame->setParent(client_widget_of(host));
}

// The dialog wears the fixed button-face colour, as the added panel and every
// dialog of the layer do.
void paint_as_dialog(QFileDialog& d) {
    COLORREF c = GetSysColor(COLOR_BTNFACE);
    QColor face(GetRValue(c), GetGValue(c), GetBValue(c));
    QPalette pal = d.palette();
    pal.setColor(QPalette::Window, face);
    pal.setColor(QPalette::Button, face);
    d.setPalette(pal);
}

void configure(QFileDialog& d, FileDialogState& st, const QStringList& filters) {
    const OPENFILENAME* ofn = st.ofn;
    paint_as_dialog(d);
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setOption(QFileDialog::HideNameFilterDetails);
    if (!(ofn->Flags & OFN_OVERWRITEPROMPT)) d.setOption(QFileDialog::DontConfirmOverwrite);
    d.setAcceptMode(st.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(!st.save && (ofn->Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                               : QFileDialog::AnyFile);
    if (ofn->lpstrDefExt && *ofn->lpstrDefExt)
        d.setDefaultSuffix(QString::fromUtf8(ofn->lpstrDefExt));
    if (!filters.isEmpty()) {
        d.setNameFilters(filters);
        int index = int(ofn->nFilterIndex) - 1;
        if (index >= 0 && index < filters.size()) d.selectNameFilter(filters[index]);
    }
    if (ofn->lpstrFile && *ofn->lpstrFile) d.selectFile(QString::fromUtf8(ofn->lpstrFile));
}

}  // namespace

bool run_qt_file_dialog(FileDialogState& st, std::string* path, int* filterIndex) {
    HWND owner = st.ofn->hwndOwner ? top_level_of(st.ofn->hwndOwner) : nullptr;
    QWidget* parent = owner ? frame_of(owner) : nullptr;
    const char* title = st.ofn->lpstrTitle ? st.ofn->lpstrTitle : (st.save ? "Save As" : "Open");
    QFileDialog d(parent, QString::fromUtf8(title), QString::fromUtf8(st.folder));
    QStringList filters = qt_filters(st.filters);
    configure(d, st, filters);
    if (st.panel) place_panel(d, st.panel);
    QObject::connect(&d, &QFileDialog::currentChanged, &d,
                     [&st](const QString& p) { select_path(st, p.toStdString()); });
    QObject::connect(&d, &QFileDialog::directoryEntered, &d, [&st](const QString& dir) {
        st.folder = dir.toStdString();
        notify_hook(st, CDN_FOLDERCHANGE);
    });
    QObject::connect(&d, &QFileDialog::filterSelected, &d, [&st, &filters](const QString& f) {
        st.ofn->nFilterIndex = DWORD(filters.indexOf(f) + 1);
        notify_hook(st, CDN_TYPECHANGE);
    });
    bool ok = d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty();
    if (ok) {
        *path = d.selectedFiles().first().toStdString();
        *filterIndex = int(filters.indexOf(d.selectedNameFilter()) + 1);
    }
    if (st.panel) take_panel_back(st.host, st.panel);
    return ok;
}

}  // namespace plat::dlg
