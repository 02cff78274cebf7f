// The port section of a configuration file for one board's applet state.
#pragma once

namespace vexo::applet {
class Board;
}

namespace vexo::config {

class Fg_ConfigFileParser;

// Writes the section header of port 0 and the 72 keys with the values the read path reports.
void writePortConfiguration(applet::Board& board, Fg_ConfigFileParser& parser);

// Reads the keys back under the parameter lock: all are checked and stored first, then applied
// through their setters in table order, FG_DEBUGFILE last. False at the first failure.
bool readPortConfiguration(applet::Board& board, Fg_ConfigFileParser& parser);

}  // namespace vexo::config
