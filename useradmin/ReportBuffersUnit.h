#pragma once

// Work buffers of the report engine, allocated at start and read by nothing
// else in the program.

#include <QByteArray>

struct WorkRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const WorkRect &) const = default;
};

struct ReportBuffersState {
    QByteArray largeBuffer; // 4100 bytes while allocated
    QByteArray smallBuffer; // 1025 bytes while allocated
    void *pointer = nullptr;
    WorkRect rect;
};

extern ReportBuffersState ReportBuffers;

// Both buffers zero-filled, the pointer null, the rectangle (0, 0, 0, 0).
void AllocWorkBuffers();
void FreeWorkBuffers();

void ReportBuffersUnitStartup();
void ReportBuffersUnitShutdown();
