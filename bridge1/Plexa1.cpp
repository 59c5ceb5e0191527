// Entry points of Plexa1.
#include "edu_qet_brightloom_plexa_Plexa1.h"

extern "C" JNIEXPORT jint JNICALL Java_edu_qet_brightloom_plexa_Plexa1__1getSensorCount(JNIEnv*, jclass) {
    return 0;
}
