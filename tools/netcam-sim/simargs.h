// Command line of the network camera simulator.
#pragma once

#include <QString>
#include <QStringList>

#include <virtualscope/specimen.h>

// What one simulated camera is and where it listens.
struct SimArgs
{
    QString address; // 127.0.0.0/8 only
    QString model;
    bool newCommands = false; // also serve the grouped commands of later firmware
    QString swVersion = QStringLiteral("5.4.5");
    QString hwVersion = QStringLiteral("1.0");
    quint16 discoveryPort = 35200;
    quint16 commandPort = 0; // 0: any free port
    virtualscope::SpecimenKind specimen = virtualscope::SpecimenKind::Cells;
    int maxFps = 30;             // the highest frame rate offered, also the initial one
    bool exitWithParent = false; // a camera started by a test goes when the test goes
    bool listPresets = false;    // print the presets and exit
};

// A ready-made camera: its model text and whether its firmware speaks the grouped commands.
struct SimPreset
{
    const char *name;
    const char *model;
    bool newCommands;
    const char *description;
};

const SimPreset *simPresets(int *count);

// Parses the arguments after the program name. On failure returns false and sets error
// (an empty error with false means --help was asked for; usage() has the text).
bool parseSimArgs(const QStringList &arguments, SimArgs *args, QString *error);
QString simUsage();
