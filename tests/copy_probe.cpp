// One start of the program as far as its files go, for the test of two starts
// at once on the simulated Windows: once the file named by its argument is
// there (so that both starts begin together), the one-copy check, then the
// backup and the snapshot that the window takes while it is made. Exit 1 when
// another copy runs, 0 when this one took its snapshots, 2 when the file
// never came.
#include "app/startup.h"
#include "base/processvalues.h"

#include <chrono>
#include <thread>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        if (PlatFile *go = FileOpen(argv[1], "rb")) {
            FileClose(go);
            break;
        }
        if (std::chrono::steady_clock::now() > deadline)
            return 2;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (!MainIsOnlyCopy())
        return 1;
    SetProcessValues(nullptr);
    MainState state;
    MainTakeSnapshots(&state);
    return 0;
}
