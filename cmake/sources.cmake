# Sources are sorted into the two libraries by name: views end in _page, _dialog or
# _window, and the Qt implementations of the platform interfaces start with qt_.
# Everything else under src/ (but app/) is core and must not include a widget header.
function(tarnwick_collect_sources core_var ui_var)
    file(GLOB_RECURSE all CONFIGURE_DEPENDS
        ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.h)
    set(core "")
    set(ui "")
    foreach(f IN LISTS all)
        if(f MATCHES "/src/app/")
            continue()
        elseif(f MATCHES "_(page|dialog|window)\\.(h|cpp)$" OR f MATCHES "/qt_[^/]*\\.(h|cpp)$")
            list(APPEND ui ${f})
        else()
            list(APPEND core ${f})
        endif()
    endforeach()
    set(${core_var} ${core} PARENT_SCOPE)
    set(${ui_var} ${ui} PARENT_SCOPE)
endfunction()
