// The "Error" message box of the string loaders, shown through the hook
// that the host installs.
#ifndef TOLKARA_MESSAGE_BOX_H
#define TOLKARA_MESSAGE_BOX_H

#include <string>

namespace tolkara {

void showErrorBox(const std::string &text);

}  // namespace tolkara

#endif
