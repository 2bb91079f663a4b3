#!/usr/bin/python3
"""Drops files on the window under a screen point, as a file manager does:
the XDND protocol, which Wine turns into WM_DROPFILES for a window with
WS_EX_ACCEPTFILES.

    xdnd_drop.py X Y UNIX-PATH...

Exits 0 when the target accepted the drop and said it finished, 1 otherwise.
"""
import sys
import time
import urllib.parse

from Xlib import X, display
from Xlib.protocol import event

TIMEOUT = 10.0


def main():
    x, y = int(sys.argv[1]), int(sys.argv[2])
    uris = ''.join('file://' + urllib.parse.quote(p) + '\r\n' for p in sys.argv[3:]).encode()

    d = display.Display()
    root = d.screen().root
    atom = d.intern_atom
    xdnd_aware, xdnd_selection = atom('XdndAware'), atom('XdndSelection')
    enter, position, status, drop, finished = (atom(n) for n in (
        'XdndEnter', 'XdndPosition', 'XdndStatus', 'XdndDrop', 'XdndFinished'))
    copy, uri_list = atom('XdndActionCopy'), atom('text/uri-list')

    source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent, X.InputOnly, X.CopyFromParent)
    source.set_selection_owner(xdnd_selection, X.CurrentTime)

    # The innermost window under the point that speaks XDND.
    target, window = None, root
    while window:
        if window.get_full_property(xdnd_aware, X.AnyPropertyType):
            target = window
        children = [w for w in window.query_tree().children if w.get_attributes().map_state == X.IsViewable]
        window = None
        for w in reversed(children):  # the topmost first
            g = w.get_geometry()
            pos = w.translate_coords(root, x, y)
            if 0 <= pos.x < g.width and 0 <= pos.y < g.height:
                window = w
                break
    if target is None:
        print('no XDND window under the point', file=sys.stderr)
        return 1

    def send(kind, data):
        message = event.ClientMessage(window=target, client_type=kind, data=(32, data))
        target.send_event(message, event_mask=0)
        d.flush()

    def wait_for(kind):
        deadline = time.time() + TIMEOUT
        while time.time() < deadline:
            while d.pending_events():
                e = d.next_event()
                if e.type == X.SelectionRequest:
                    e.requestor.change_property(e.property, e.target, 8, uris)
                    notify = event.SelectionNotify(time=e.time, requestor=e.requestor, selection=e.selection,
                                                   target=e.target, property=e.property)
                    e.requestor.send_event(notify, event_mask=0)
                    d.flush()
                elif e.type == X.ClientMessage and e.client_type == kind:
                    return e
            time.sleep(0.02)
        return None

    send(enter, [source.id, 5 << 24, uri_list, 0, 0])
    send(position, [source.id, 0, (x << 16) | y, X.CurrentTime, copy])
    answer = wait_for(status)
    if answer is None or not (answer.data[1][1] & 1):
        print('the target did not accept the drop', file=sys.stderr)
        return 1
    send(drop, [source.id, 0, X.CurrentTime, 0, 0])
    if wait_for(finished) is None:
        print('the target did not finish the drop', file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
