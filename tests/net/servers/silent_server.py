#!/usr/bin/python3
"""Accepts connections on a free port of 127.0.0.1 (printed on its first line) and
never says a word: a server that has stopped answering."""

import socket
import sys
import os
import threading

listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(8)
print(listener.getsockname()[1], flush=True)
sys.stdout.close()
# Gone with the test that started it, even after a crash: stdin closes then.
threading.Thread(target=lambda: (sys.stdin.buffer.read(), os._exit(0)), daemon=True).start()
held = []
while True:
    connection, _ = listener.accept()
    held.append(connection)
