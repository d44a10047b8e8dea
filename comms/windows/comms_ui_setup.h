#pragma once
// Connects the port library to the program: deliveries run in the Qt event loop, the port map is
// read from the Korval home, and a port without a number asks through the selection window.
namespace korval {

void InstallComsUi();

} // namespace korval
