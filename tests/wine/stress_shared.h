// stress_shared.h - the shared memory through which the stress application tells the test
// what it cannot see from outside.
#ifndef KAV_TEST_STRESS_SHARED_H
#define KAV_TEST_STRESS_SHARED_H

#include <stdio.h>
#include <windows.h>

struct StressShared {
    volatile LONG printed;   // numbered lines whose print has returned (so are in the log)
    volatile LONG returned;  // 1 once the main routine returned by itself
    volatile LONG ignore_stop;  // set by the test: the main routine goes on after Stop and Exit
};

#define STRESS_SHARED_NAME_BYTES 40  // "kav_stress_" and a process id

// The name of the mapping of process pid.
static inline void stress_shared_name(char name[STRESS_SHARED_NAME_BYTES], DWORD pid)
{
    snprintf(name, STRESS_SHARED_NAME_BYTES, "kav_stress_%lu", (unsigned long)pid);
}

#endif
