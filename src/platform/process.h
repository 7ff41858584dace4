#pragma once

#include <QtGlobal>

// Questions about other processes of this machine.
namespace process {

// True while a process with this id runs on this machine. Ids of 0 and below name no process.
// A process that exists but belongs to someone else still counts as running.
bool isRunning(qint64 pid);

}  // namespace process
