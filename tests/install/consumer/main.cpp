// Scripts both virtual sensors through their control faces and reads them back
// through their runtime faces. Prints "consumer ok" when all agree.
#include "runtime1/VirtualSensor1.h"
#include "runtime2/VirtualSensor2.h"

#include <cstdio>

int main() {
    plexa::virtual1::setConnectedCount(3);
    int count = 0;
    if (NuiGetSensorCount(&count) < 0 || count != 3) {
        std::printf("first generation: %d sensors, expected 3\n", count);
        return 1;
    }
    INuiSensor* sensor = nullptr;
    if (NuiCreateSensorByIndex(2, &sensor) < 0 || sensor == nullptr) {
        std::printf("first generation: no sensor 2\n");
        return 1;
    }
    sensor->Release();

    plexa::virtual2::setSensorPresent(false);
    IKinectSensor* absent = nullptr;
    if (GetDefaultKinectSensor(&absent) >= 0 && absent != nullptr) {
        std::printf("second generation: a sensor although none is present\n");
        absent->Release();
        return 1;
    }
    plexa::virtual2::setSensorPresent(true);
    IKinectSensor* present = nullptr;
    if (GetDefaultKinectSensor(&present) < 0 || present == nullptr) {
        std::printf("second generation: no default sensor\n");
        return 1;
    }
    present->Release();
    std::printf("consumer ok\n");
    return 0;
}
