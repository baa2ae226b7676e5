#pragma once
// Delivery through an operator's transfer script: the program runs
// "c:\projects\Kord\" + name + ".bat" and reads the script's log
// name + ".log" to learn how many files went out. Which files the script
// sends, and where, is the operator's business.
#include <string>

namespace tarvelon {

class RunState;

extern const char* const kOperatorScriptFolder;  // "c:\projects\Kord\"

// The log's bytes as Windows-1252 text: UTF-16 little endian after FF FE, big
// endian after FE FF, else Windows-1252 as it is. A character outside the code
// page becomes "?".
std::string DecodeScriptLog(const std::string& bytes);

// How many times "Transfer done" occurs in the text.
int CountTransfersDone(const std::string& text);

// Deletes the previous log, runs the script (standard input /dev/null) and
// reads its log. Answers the text to append to the final line: ", envoi via
// SFTP : " + count + " fichier transmis", ", erreur lors de l'envoi via SFTP"
// when nothing was reported sent or the previous log could not be removed
// (logged with the reason), empty when the script does not exist. A script
// that leaves no log ends the export (Error).
std::string SftpScriptDelivery(RunState& state, const std::string& scriptName);

}  // namespace tarvelon
