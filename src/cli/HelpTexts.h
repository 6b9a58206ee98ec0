#pragma once
#include <QString>
#include <QStringList>
#include <string>

namespace undelvo {

// `undelvo-cli --help`: the commands and the exit statuses.
std::string MainHelp();

// `undelvo-cli COMMAND --help`: the command's usage, every option, examples
// and the exit statuses; empty for an unknown command.
std::string CommandHelp(const QString& command);

// The usage lines alone, for a message about bad usage.
std::string CommandUsage(const QString& command);

// Whether the arguments ask for help (--help or -h anywhere).
bool AsksForHelp(const QStringList& args);

}  // namespace undelvo
