# WAV decoding and the PCM stream that reads decoded sounds out.
qel_fuzzer(wav_fuzzer
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/wav_fuzzer.cpp
    ${QEL_ROOT}/runtime/standin/audio/pcm_stream.cpp
    ${QEL_ROOT}/runtime/standin/audio/wav_decoder.cpp)
