// Binary trees made, checked and dropped, beside one long-lived tree.
class Node {
    public var left:Node;
    public var right:Node;
    public function new(l:Node, r:Node) {
        left = l;
        right = r;
    }
}

class BinaryTrees {
    static function make(depth:Int):Node {
        return depth == 0 ? new Node(null, null) : new Node(make(depth - 1), make(depth - 1));
    }

    static function check(n:Node):Int {
        return n.left == null ? 1 : 1 + check(n.left) + check(n.right);
    }

    // Under Flash the program runs from the class's __init__, with its script: Haxe's
    // boot class would wait for a stage before calling main.
    static function __init__() {
        #if flash
        run();
        #end
    }

    static function main() {
        #if !flash
        run();
        #end
    }

    static function run() {
        var maxDepth = 14;
        var longLived = make(maxDepth);
        var depth = 4;
        while (depth <= maxDepth) {
            var iterations = 1 << (maxDepth - depth + 4);
            var sum = 0;
            for (i in 0...iterations)
                sum += check(make(depth));
            Out.line(iterations + " trees of depth " + depth + " check " + sum);
            depth += 2;
        }
        Out.line("long lived tree check " + check(longLived));
    }
}
