#include "Desktop.h"

#include "QtText.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <memory>
#include <string>

#include <shobjidl.h>
#include <windows.h>

namespace {

struct Releasing {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class Interface> using ComPointer = std::unique_ptr<Interface, Releasing>;

// Qt's Windows platform has set COM up for this thread already; this only
// counts once more, and undoes what it counted.
class ComUse {
  public:
    ComUse() : result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComUse() {
        if (SUCCEEDED(result)) {
            ::CoUninitialize();
        }
    }
    ComUse(const ComUse&) = delete;
    ComUse& operator=(const ComUse&) = delete;

  private:
    HRESULT result;
};

std::wstring Wide(std::string_view text) {
    return Text(text).toStdWString();
}

ComPointer<IShellItem> FolderItem(const QString& folder) {
    IShellItem* item = nullptr;
    if (FAILED(::SHCreateItemFromParsingName(folder.toStdWString().c_str(), nullptr,
                                             IID_PPV_ARGS(&item)))) {
        return nullptr;
    }
    return ComPointer<IShellItem>(item);
}

QString ChosenName(IFileOpenDialog& dialog) {
    IShellItem* item = nullptr;
    if (FAILED(dialog.GetResult(&item))) {
        return {};
    }
    const ComPointer<IShellItem> chosen(item);
    PWSTR path = nullptr;
    if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        return {};
    }
    const QString name = QString::fromWCharArray(path);
    ::CoTaskMemFree(path);
    return name;
}

} // namespace

// NUL is a device in every folder: nothing can be made below it.
QString UnwritableFolder() {
    return QStringLiteral("NUL");
}

// The work area: a window centred on the whole screen would sit partly under
// the taskbar.
QRect CentringArea(const QScreen& screen) {
    return screen.availableGeometry();
}

bool WindowSystemKeepsContent() {
    return false;
}

// The dialog is called directly rather than through QFileDialog, which keeps
// its state in the registry whatever the settings are pointed at. The name
// typed is taken as it is: the viewer adds ".kzt" itself, so no default
// extension is set, and a file that does not exist is the loader's to report,
// while a folder that does not exist is refused by the dialog. Nothing goes
// into the user's recent documents.
std::optional<QString> AskWithSystemDialog(QWidget* parent, const QString& folder) {
    if (QGuiApplication::platformName() != QLatin1String("windows")) {
        return std::nullopt;
    }
    const ComUse com;
    IFileOpenDialog* created = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&created)))) {
        return std::nullopt;
    }
    const ComPointer<IFileOpenDialog> dialog(created);
    const std::wstring title = Wide(texts::openTitle);
    const std::wstring sequences = Wide(texts::sequenceFilter);
    const std::wstring everything = Wide(texts::allFilesFilter);
    const COMDLG_FILTERSPEC types[] = {{sequences.c_str(), L"*.kzt"}, {everything.c_str(), L"*.*"}};
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    options = (options & ~FOS_FILEMUSTEXIST) | FOS_PATHMUSTEXIST | FOS_FORCEFILESYSTEM |
              FOS_NOCHANGEDIR | FOS_DONTADDTORECENT;
    if (FAILED(dialog->SetOptions(options)) || FAILED(dialog->SetTitle(title.c_str())) ||
        FAILED(dialog->SetFileTypes(2, types)) || FAILED(dialog->SetFileTypeIndex(1))) {
        return std::nullopt;
    }
    if (const ComPointer<IShellItem> start = FolderItem(folder)) {
        dialog->SetFolder(start.get());
    }
    const HWND owner =
        parent != nullptr ? reinterpret_cast<HWND>(parent->window()->winId()) : nullptr;
    const HRESULT shown = dialog->Show(owner);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) {
        return QString();
    }
    if (FAILED(shown)) {
        return std::nullopt;
    }
    return ChosenName(*dialog);
}
