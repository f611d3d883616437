#pragma once
// The IFP menu and About.

namespace zam {

void OpenCommand();
void SaveCommand();
void SaveAsCommand();
void AboutCommand();

}  // namespace zam
