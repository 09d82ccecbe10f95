#pragma once

#include <QString>
#include <memory>
#include <string>

#include "platform/platform.h"

class QFileDialog;
class QWidget;

namespace memro {

enum class FileDialogMode { kOpen, kSave };

// "Desc|*.a *.b|All Files (*.*)|*.*" becomes "Desc (*.a *.b);;All Files (*)". A
// pattern list in the description is replaced by the real one, and "*.*" becomes
// "*", which on Linux also matches names without a dot.
QString ToQtFilter(const std::string& filter);

// Adds "." and the extension (in lower case, as Linux file names go) when the
// file name has none.
std::string ApplyDefaultExtension(const std::string& path, const std::string& extension);

// The name to open: path itself when it exists, else path with the default extension.
std::string NameToOpen(const std::string& path, const std::string& extension);

// Checks a chosen path against the request's must-exist options.
FileDialogResult CheckChosenPath(const std::string& path, const FileDialogRequest& request);

// The dialog, configured but not shown.
std::unique_ptr<QFileDialog> BuildFileDialog(const FileDialogRequest& request, FileDialogMode mode,
                                             QWidget* parent);

// Runs a built dialog modally and checks its answer.
FileDialogResult RunFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

}  // namespace memro
