// The simulated camera's values and commands, as data: one table of values with their
// defaults and ranges, one of commands naming the values they carry.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

// A value the camera keeps: a number with its range, or a text with its allowed choices.
struct ParamDef
{
    const char *key;
    double def;
    double min;
    double max;
    const char *text = nullptr;    // non-null: a text value with this default ("$ip", "$mac": the camera's own)
    const char *choices = nullptr; // "a|b": the texts accepted; null: any text

    bool isText() const { return text != nullptr; }
};

enum class CommandKind {
    Get,      // answers the current values
    Set,      // validates and stores the values present in the request
    Defaults, // answers the defaults and "range" {name: {min, max}} of the numbers
    Ability,  // answers {name: {min, max, def}} per number
    Custom    // handled by name in CommandState
};

struct CommandDef
{
    const char *name;
    CommandKind kind;
    // Space-separated names on the wire; "wire=key" where the value's key differs.
    const char *fields;
    bool grouped; // served only by the newer firmware
};

// One field of a command: its name on the wire and the value it maps to.
struct FieldMap
{
    QString wire;
    const ParamDef *param = nullptr;
};

const std::vector<ParamDef> &paramDefs();
const ParamDef *findParam(const QString &key);
const std::vector<CommandDef> &commandDefs();
// The fields of a command; an unknown key is a table error and aborts in debug builds.
QVector<FieldMap> commandFields(const CommandDef &def);

// The stream sizes offered for both formats, largest first.
const QStringList &offeredStreamSizes();
