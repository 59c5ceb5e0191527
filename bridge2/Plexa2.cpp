// Entry points of Plexa2.
#include "edu_qet_brightloom_plexa_Plexa2.h"

extern "C" JNIEXPORT jint JNICALL Java_edu_qet_brightloom_plexa_Plexa2__1getSensorCount(JNIEnv*, jclass) {
    return 1;
}
