"""A Python host's start-up over Vantrel's C interface (ctypes): check the front end's links,
and stop when the user chose to ignore a problem the check found.

    ORVANTA_LIBRARY=/prefix/lib/liborvanta.so python3 host.py FRONTEND [auto|qt|console]
"""
import ctypes
import os
import sys

lib = ctypes.CDLL(os.environ.get("ORVANTA_LIBRARY", "liborvanta.so.0"))
lib.orvanta_last_error.restype = ctypes.c_char_p
lib.orvanta_create.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p)]
lib.orvanta_destroy.argtypes = [ctypes.c_void_p]
lib.orvanta_check_linked_tables.argtypes = [
    ctypes.c_void_p, ctypes.c_char_p, ctypes.POINTER(ctypes.c_int)]
lib.orvanta_active_link_set.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_void_p)]
lib.orvanta_free.argtypes = [ctypes.c_void_p]


class VantrelError(Exception):
    pass


def call(function, *args):
    error = function(*args)
    if error != 0:
        raise VantrelError(f"{lib.orvanta_last_error().decode()} (error {error})")


def text(function, component):
    """A text result, copied into Python and released."""
    buffer = ctypes.c_void_p()
    call(function, component, ctypes.byref(buffer))
    try:
        return ctypes.string_at(buffer).decode()
    finally:
        lib.orvanta_free(buffer)


def main(argv):
    if len(argv) < 2:
        print("usage: host.py FRONTEND [auto|qt|console]", file=sys.stderr)
        return 2
    # The component records the front end's path to notice when it moves: the absolute one.
    front_end = os.path.abspath(argv[1]).encode()
    driver = (argv[2] if len(argv) > 2 else "auto").encode()
    component = ctypes.c_void_p()
    try:
        call(lib.orvanta_create, driver, ctypes.byref(component))
        try:
            ignored = ctypes.c_int()
            call(lib.orvanta_check_linked_tables, component, front_end, ctypes.byref(ignored))
            if ignored.value:
                print("host.py: the links were not repaired; leaving", file=sys.stderr)
                return 1
            print(f'Linked through set "{text(lib.orvanta_active_link_set, component)}"')
        finally:
            lib.orvanta_destroy(component)
    except VantrelError as e:
        print(f"host.py: {e}", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
