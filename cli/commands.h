#pragma once
// The commands of quorbic-cli, each given the words after its name; each
// returns the exit status. Store errors escape to main, which reports them.

#include <QStringList>

int runInit(const QStringList &args);
int runUpgrade(const QStringList &args);
int runPost(const QStringList &args);
int runRetrieve(const QStringList &args);
int runUpdateLists(const QStringList &args);
int runShow(const QStringList &args);
