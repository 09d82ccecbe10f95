#pragma once

#include <QMessageBox>
#include <memory>
#include <string>

#include "platform/platform.h"

class QInputDialog;
class QWidget;

namespace memro {

// An empty title gives the application title.
QString BoxTitle(const std::string& title);

// The box, configured but not shown.
std::unique_ptr<QMessageBox> BuildMessageBox(const std::string& prompt, Icon icon, Buttons buttons,
                                             const std::string& title, QWidget* parent);

// The answer for a box closed with this result; closing the window counts as the
// box's escape button.
Answer AnswerFor(int result, Buttons buttons);

std::unique_ptr<QInputDialog> BuildInputBox(const std::string& prompt, const std::string& title,
                                            const std::string& defaultText, QWidget* parent);

}  // namespace memro
