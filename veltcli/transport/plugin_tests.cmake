# Tests of the plug-in transport (included from veltcli/CMakeLists.txt in its tests section): a
# fault plug-in built for them, and the example plug-in driven against a responder over rimqapi.
add_library(veltcli_fault_plugin MODULE ${CMAKE_CURRENT_LIST_DIR}/test_plugins/fault_plugin.cpp)
target_link_libraries(veltcli_fault_plugin PRIVATE veltplugin_headers)

velt_test(veltcli_plugin_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/plugin_transport_test.cpp
  LIBS veltcli_core veltplugin_headers rimq_test_client ${CMAKE_DL_LIBS}
  LABELS threaded TIMEOUT 120)
# The example is loaded at run time only, so the test takes its header but does not link it.
target_include_directories(veltcli_plugin_test PRIVATE
  $<TARGET_PROPERTY:veltplugin_example,INTERFACE_INCLUDE_DIRECTORIES>)
add_dependencies(veltcli_plugin_test veltcli_fault_plugin veltplugin_example)
target_compile_definitions(veltcli_plugin_test PRIVATE
  VELT_FAULT_PLUGIN_PATH="$<TARGET_FILE:veltcli_fault_plugin>"
  VELT_EXAMPLE_PLUGIN_PATH="$<TARGET_FILE:veltplugin_example>")
