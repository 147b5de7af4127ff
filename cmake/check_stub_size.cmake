# Fails the build when the setup stub FILE is larger than LIMIT bytes.
file(SIZE "${FILE}" size)
if(size GREATER LIMIT)
  message(FATAL_ERROR "setup stub ${FILE} is ${size} bytes, over its limit of ${LIMIT}")
endif()
message(STATUS "setup stub ${FILE}: ${size} bytes (limit ${LIMIT})")
