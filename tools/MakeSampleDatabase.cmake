# Runs the delivery tool once: an existing sample database is never touched.
if(EXISTS "${OUTPUT}")
    return()
endif()
string(TIMESTAMP year "%Y")
math(EXPR previous "${year} - 1")
execute_process(
    COMMAND "${TOOL}" --desde ${previous}01 --hasta ${year}12 --dia-vencimiento 15 "${OUTPUT}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "No se pudo crear la base de datos de muestra")
endif()
