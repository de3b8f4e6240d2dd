// A stand-in for the Receiver in the launch tests: it calls LaunchTrainer once
// from wherever it was copied to, and exits.
#include "trainer_launch.h"

int main() {
    LaunchTrainer();
    return 0;
}
