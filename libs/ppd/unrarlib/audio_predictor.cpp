// The predictor is inline in its header: the decoder's multimedia loop runs it
// for every byte.
#include "libs/ppd/unrarlib/audio_predictor.h"
